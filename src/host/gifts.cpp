// Player messages and gifts: each player's outgoing letters (its pmess
// slots) reach the nations they were sent to with what they carry, paid
// when they were sent; what cannot be delivered goes back to the sender.
#include "host/host.h"
#include "host/phases.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/rules.h"
#include "world/world.h"

namespace {
const char* giftline(const PMess& m, char* buffer, int32_t size) {
  buffer[0] = 0;
  if (m.b1 == PG_GOLD) formatbounded(buffer, size, "\n\nWith it come %d pounds of gold.", m.value);
  else if (m.b1 == PG_ITEM && validitem(m.value)) formatbounded(buffer, size, "\n\nWith it comes %s.", items[size_t(m.value)].name);
  else if (m.b1 >= PG_GEMS && m.b1 < PG_GEMS + 8)
    formatbounded(buffer, size, "\n\nWith it come %d %ss.", m.value, gemnames[m.b1 - PG_GEMS]);
  return buffer;
}

// The gift into a treasury: the receiver's, or the sender's when it cannot
// be delivered.
void givegift(int32_t p, const PMess& m) {
  Kingdom& k = kingdom[size_t(p)];
  if (m.b1 == PG_GOLD) k.gold = int32_t(imin(INT32_MAX - imax(m.value, 0), k.gold) + imax(m.value, 0));
  else if (m.b1 == PG_ITEM && validitem(m.value)) additemtolab(p, m.value, 1);
  else if (m.b1 >= PG_GEMS && m.b1 < PG_GEMS + 8)
    k.w[KW_GEMS + m.b1 - PG_GEMS] = int16_t(imin(32767, imax(k.w[KW_GEMS + m.b1 - PG_GEMS], 0) + imax(m.value, 0)));
}
}  // namespace

void messagesphase() {
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    for (PMess& m : pmess[p]) {
      if (m.b0 == 255) continue;
      const int32_t r = m.b0;
      char gift[200];
      giftline(m, gift, sizeof gift);
      if (r < MAXPLAYERS && activeplayer(r) && activeplayer(p)) {
        givegift(r, m);
        char text[MSGTEXTLEN];
        strlcopy(text, m.text, sizeof text);
        t2msg(newmsg(-1, r, MT_PLAIN, -1), "Message from %s\n\n%s%s", nations[size_t(p)].name, text, gift);
      } else if (activeplayer(p)) {
        givegift(p, m);
        t2msg(newmsg(-1, p, MT_PLAIN, -1), "Your message could not be delivered\n\nThe nation it was sent to is no "
              "longer in the game; what it carried is back in the treasury.");
      }
      m = PMess{};
      m.b0 = 255;
    }
  }
}
