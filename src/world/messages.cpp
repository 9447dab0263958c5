#include "world/hoststate.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include "runtime/fatal.h"
#include "runtime/rnd.h"
#include "world/world.h"

int32_t turn = 0;
int16_t hostingflag = 0;
std::array<Message, MAXMSG> message;
int32_t highestmsg = -1;
PMess pmess[95][PMESSSLOTS];

void clearmessages() {
  for (Message& m : message) {
    m = Message{};
    m.type = MT_FREE;
  }
  highestmsg = -1;
  for (auto& row : pmess)
    for (PMess& p : row) {
      p = PMess{};
      p.b0 = 255;
    }
}

int32_t newmsg(int32_t lnr, int32_t player, int32_t type, int32_t link) {
  if (player < -2 || player > 94 || player == -1) return -1;
  for (int32_t m = 0; m < MAXMSG; m++) {
    if (message[m].type != MT_FREE) continue;
    Message& x = message[m];
    x = Message{};
    x.land = lnr;
    x.subj[0] = link;
    x.player = player == -2 ? MSG_ALLPLAYERS : uint8_t(player);
    x.type = uint8_t(type);
    if (m > highestmsg) highestmsg = m;
    return m;
  }
  debugprint("*** Warning,  out of messages\n");
  return -1;
}

void t2msg(int32_t m, const char* format, ...) {
  if (m < 0 || m >= MAXMSG) return;
  char add[MSGLEN];
  va_list args;
  va_start(args, format);
  vsnprintf(add, sizeof add, format, args);
  va_end(args);
  char* text = message[m].text;
  const size_t have = strnlen(text, MSGTEXTLEN - 1);
  const size_t want = strlen(add);
  if (have + want > size_t(MSGTEXTLEN - 1)) debugprint("str too long\n");
  const size_t room = MSGTEXTLEN - 1 - have;
  const size_t n = want < room ? want : room;
  memcpy(text + have, add, n);
  text[have + n] = 0;
}

int32_t findscoutmsg(int32_t player, int32_t lnr) {
  bailif(player > 100, "sctmsg: bad pl");
  const int32_t top = highestmsg < MAXMSG ? highestmsg : MAXMSG - 1;
  for (int32_t m = 0; m <= top; m++)
    if (message[m].type == MT_SCOUT && message[m].player == player && message[m].land == lnr) return m;
  return -1;
}

int32_t nbrofmsg(int32_t player) {
  int32_t n = 0;
  const int32_t top = highestmsg < MAXMSG ? highestmsg : MAXMSG - 1;
  for (int32_t m = 0; m <= top; m++)
    if (message[m].type != MT_FREE && (message[m].player == player || message[m].player == MSG_ALLPLAYERS)) n++;
  return n;
}

int32_t randneighbour(int32_t lnr) {
  if (lnr < 1 || lnr >= MAXLANDS) return -1;
  int32_t n = 0;
  while (n < MAXNEIGHBOURS && provgeo[lnr].nbr[n] > 0) n++;
  if (n == 0) return -1;
  return provgeo[lnr].nbr[rnd(n)];
}
