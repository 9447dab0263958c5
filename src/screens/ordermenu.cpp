// The order menu of a commander and the order store behind it: each order
// request is withdrawn-then-validated, charged and stored through the order
// store that the computer players use too; the menus here only ask what an
// order needs (which building, which dead to raise, which province).
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "actions/moverule.h"
#include "ai/orderstore.h"
#include "battle/battle.h"
#include "gfx/dialogs.h"
#include "gfx/gui.h"
#include "magic/rituals.h"
#include "mapview/mapview.h"
#include "runtime/ask.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "screens/forging.h"
#include "screens/lab.h"
#include "screens/orders.h"
#include "world/economy.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/magic.h"
#include "world/movement.h"
#include "world/orderrules.h"
#include "world/provinfo.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "world/units.h"
#include "world/world.h"

namespace {
constexpr int32_t MENU_MOVEHELP = 998, MENU_CANCEL = 999, MENU_NOTHING = 97;
constexpr int32_t SITEEFFECT_TARGET = 72;   // a site whose entering needs a target province

const char* const movehelp = "Select a commander and click on the main map in order to move to another province.";
const char* const plainmovehelp = "(ctrl + click on map) Move to another province, don't sneak";
const char* const sneakhelp =
    "(click on map) Sneak into another province. Sneaking units will not attack the province unless they are caught.";

struct Menu {
  OrderEntry* e;
  int32_t max, n = 0;
  void add(int32_t id, char key, const char* help, const char* format, ...) __attribute__((format(printf, 5, 6))) {
    if (n >= max) return;
    OrderEntry& x = e[n++];
    x.id = id;
    x.key = key;
    x.help = help;
    va_list ap;
    va_start(ap, format);
    vsnprintf(x.label, sizeof x.label, format, ap);
    va_end(ap);
  }
};

bool holdscastle(int32_t c) { return orderlandrec(c).fortholder == orderplayer(c); }
bool ownsprovince(int32_t c) { return orderlandrec(c).owner == orderplayer(c); }
bool undeadtype(int32_t c) { return (unittypeflags(com[size_t(c)].body) & MF_UNDEAD) != 0; }
bool maypreach(int32_t c) { return !undeadtype(c) && getnatattr(orderplayer(c), NA_NOPREACH) == 0; }
int32_t destinationset(int32_t c) {
  const int32_t d = com[size_t(c)].orderparam;
  return d >= 1 && d != orderland(c) ? d : 0;
}

void sneakentry(Menu& m, int32_t c, const char* hidehelp) {
  if (com[size_t(c)].order == OC_MOVE) m.add(102, 0, sneakhelp, "Sneak");
  else m.add(102, 0, hidehelp, "Hide");
}

void siteentries(Menu& m, int32_t c) {
  const Land& l = orderlandrec(c);
  for (int32_t s = 0; s < 4; s++)
    if (canentersite(c, s) >= 1) m.add(80 + s, 0, "Enter the magic site; what happens depends on the site.", "Enter Site: %s",
                                        sites[size_t(l.site[s])].name);
}

void agententries(Menu& m, int32_t c) {
  const bool mobile = ordermobile(c);
  if (mobile && effectof(c, AB_ASSASSIN) > 0)
    m.add(148, 0, "Try to find and kill an enemy commander in this province.", "Assassinate Enemy Commander");
  if (mobile && effectof(c, AB_SEDUCE) > 0)
    m.add(157, 0, "Seduce an enemy commander in this province into the service of your nation.",
          "Seduce Enemy Commander");
  if (mobile && effectof(c, AB_RUNAWAY) > 0)
    m.add(157, 0, "Lure an enemy commander in this province into running away with your agent.",
          "Seduce Enemy Commander");
  if (effectof(c, AB_LURE) > 0 && iscoastal(orderland(c)))
    m.add(161, 0, "Lure an enemy commander from the coast into the sea.", "Lure Enemy Commander");
  if (mobile && effectof(c, AB_CORRUPT) > 0)
    m.add(158, 0, "Corrupt an enemy commander in this province so that he serves your nation.",
          "Corrupt Enemy Commander");
}

void priestentries(Menu& m, int32_t c) {
  const int32_t p = orderplayer(c);
  if (ispriest(c) && getnatattr(p, NA_BLOODSACRIFICE) > 0)
    m.add(133, 0,
          "Blood sacrifices will help spreading a God's veyrance over the world. Only one blood sacrifice can be "
          "performed per temple every month.",
          "Perform Blood Sacrifice");
}

void callgodentry(Menu& m, int32_t c) {
  const int32_t p = orderplayer(c);
  const int32_t god = combody(kingdom[size_t(p)].w[KW_GOD]);
  if (ispriest(c) && god >= 0 && unit[size_t(god)].hp < 1 && veyrec[size_t(p)].value[0] <= 0)
    m.add(114, 'G', "(G) Recalling the god will require the work of many priest for many months.", "Call God");
}

void healsummon(Menu& m, int32_t c) {
  if (effectof(c, AB_HEALER) > 0) m.add(116, 0, "Heal the wounded and diseased units of the army.", "Heal Troops");
  for (int32_t k = 164; k <= 168; k++)
    if (effectof(c, k) > 0) {
      m.add(117, 0, "Call allies that join the army.", "Summon Allies");
      break;
    }
}

void labentries(Menu& m, int32_t c) {
  if (comresearch(c, 0) >= 1) m.add(104, 'R', "(R) Research new spells", "Research");
  if (ismage(c)) {
    m.add(109, 'C', "(C) Cast a ritual spell: a month's work that costs gems of the spell's path.", "Cast Ritual Spell");
    m.add(111, 'F', "(F) Forge a magic item: its gems are paid now and the item is made at the end of the month.",
          "Forge Magic Item");
    m.add(95, 0, "Turn gems into other gems, astral pearls or gold.", "Alchemy");
  }
  m.add(105, 0, "A quick but magically expensive way of increasing someones power in a path of magic.", "Empowerment");
}

// The rituals of the commander's items; the store serves seven of them.
constexpr int32_t MAXITEMRITUALS = 7;
void itemritualentries(Menu& m, int32_t c, const char* format) {
  for (int32_t n = 0; n < MAXITEMRITUALS; n++) {
    const int32_t s = getcomitemspell(c, n);
    if (s < 1 || s >= MAXSPELLS) break;
    m.add(136 + n, 0, "Cast the ritual that the item grants.", format, spells[size_t(s)].name);
  }
}

const char* preachhelp(bool enemy) {
  return enemy ? "(P) Preach to lower the veyrance of enemy gods, at most your priest's holy level twice over, "
                 "while in enemy territory."
               : "(P) Preach to raise your god's veyrance in the province up to twice the priest's holy level, plus "
                 "one if a temple is present.";
}

void moveentries(Menu& m, int32_t c) {
  if (!ordermobile(c)) return;
  m.add(MENU_MOVEHELP, 0, movehelp, "Move");
  m.add(103, 'X', "(X) Try to find hidden enemy troops and reduce unrest by killing brigands.", "Patrol Province");
  const Commander& cm = com[size_t(c)];
  if (maysneak(c)) {
    if (cm.order == OC_SNEAK) {
      m.add(101, 0, plainmovehelp, "Move");
      return;
    }
    sneakentry(m, c, "Hidden units will not defend the province");
  }
  const int32_t p = orderplayer(c);
  if (cm.order == OC_MOVE && cm.orderparam >= 1 && cm.orderparam < MAXLANDS) {
    const Land& d = land[size_t(cm.orderparam)];
    if (d.owner == p && d.fortholder == p && d.fort > 0)
      m.add(146, 0, "Move to the province and patrol it when there.", "Move and Patrol");
  }
  if (cm.order == OC_MOVEPATROL || cm.order == OC_SNEAK) m.add(101, 0, plainmovehelp, "Move");
}

void provinceentries(Menu& m, int32_t c) {
  const int32_t p = orderplayer(c), lnr = orderland(c);
  const Land& l = land[size_t(lnr)];
  if (ismageorpriest(c) && holdscastle(c))
    m.add(107, 'S', "(S) Search for magic sites in this province.", "Search for Magic Sites");
  if (ispriest(c) && maypreach(c)) m.add(106, 'P', preachhelp(false), "Preach the Teachings of God");
  priestentries(m, c);
  if (!(provgeo[size_t(lnr)].terrain & TM_SEA))
    m.add(108, 'B', "(B) Hunt the province's people for blood slaves.", "Blood Hunt");
  if (holdscastle(c)) {
    m.add(98, 0, "Build a fort, a laboratory or a temple, or tear one down.", "Construct Building");
    m.add(130, 0, "Pillage the province in order to find as much gold as possible.", "Pillage");
    if (l.lab) labentries(m, c);
  }
  if (kingdom[size_t(p)].w[KW_PROPHET] == -1 && !(unit[size_t(com[size_t(c)].body)].flags[2] & F3_PRETENDER))
    m.add(110, 0, "A prophet will spread veyrance like his pretender god but at a slower rate.", "Become Prophet");
  if (getcommagic(c, P_PRIEST) >= 1) {
    if (callspiritslevel(c) >= 1) m.add(154, 0, "Call the spirits of the dead to serve you.", "Call Spirits");
    else if (reanimatelevel(c) >= 1) m.add(121, 'A', "(A) Turn the dead into undead.", "Reanimate");
    else if (manikinlevel(c) > 0) m.add(121, 'A', "(A) Create manikins from dead beasts and men.", "Awaken Manikins");
  }
  callgodentry(m, c);
  healsummon(m, c);
  if (effectof(c, AB_CAPTURE) > 0) m.add(151, 'W', "Capture the province's people as blood slaves.", "Capture Slaves");
  siteentries(m, c);
  const uint32_t flags = unittypeflags(com[size_t(c)].body);
  if (findench(38, 0, -1) >= 0 && findcomwithorder(p, -1, OC_DEATHMATCH) < 0 && !(flags & (MF_IMMOBILE | MF_AQUATIC)))
    m.add(149, 0, "Send the commander to fight the champions of the other nations in the arena.",
          "Compete in Arena Death Match");
  itemritualentries(m, c, "Cast Item Spell: %s");
}
}  // namespace

int32_t ordermenuentries(int32_t c, OrderEntry* entries, int32_t max) {
  Menu m{entries, max};
  const int32_t p = orderplayer(c), lnr = orderland(c);
  const Land& l = land[size_t(lnr)];
  const bool owns = l.owner == p, castle = l.fortholder == p;
  const bool mobile = ordermobile(c);
  if (owns && castle) {
    m.add(100, 'D', "(D) Defend. This is the default order.", l.fort > 0 ? "Defend Castle" : "Defend Province");
    moveentries(m, c);
    provinceentries(m, c);
  } else if (owns) {
    m.add(100, 0, "The more units besieging the faster the castle gates will be breached.", "Maintain Siege");
    if (l.fortdef <= 0 && mobile) m.add(131, 'T', "(T) Storm castle in an attempt to conquer it.", "Storm Castle");
    moveentries(m, c);
    provinceentries(m, c);
  } else if (castle) {
    m.add(100, 'D', "(D) Defend. This is the default order.", "Defend Castle");
    if (mobile) m.add(132, 'E', "(E) Attack the besieging armies.", "Break Siege");
    agententries(m, c);
    if (ispriest(c) && maypreach(c)) m.add(106, 'P', preachhelp(false), "Preach the Teachings of God");
    callgodentry(m, c);
    if (l.lab) {
      m.add(145, 0, "Destroy the lab to prevent the besiegers from getting hold of it.", "Demolish Lab");
      labentries(m, c);
    }
    priestentries(m, c);
    healsummon(m, c);
    siteentries(m, c);
    itemritualentries(m, c, "Cast Spell: %s");
  } else {
    const Commander& cm = com[size_t(c)];
    if (cm.order == OC_SNEAK && destinationset(c)) m.add(101, 0, plainmovehelp, "Move without sneaking");
    if (maysneak(c) && cm.order != OC_SNEAK) sneakentry(m, c, "Hidden units will not attack the province");
    m.add(147, 0, "Attack the enemies in this province.", "Attack Current Province");
    agententries(m, c);
    if (effectof(c, AB_SPY) > 0)
      m.add(134, 0, "Increase the unrest level of the province.", "Instill Uprising");
    if (maypreach(c) && getcommagic(c, P_PRIEST) >= 1) m.add(143, 'P', preachhelp(true), "Preach the Teachings of God");
  }
  if (effectof(c, AB_SHAPECHANGE) > 0) m.add(96, 0, "Changing shape is instantaneous", "Change Shape");
  m.add(MENU_CANCEL, 0, "Keep the order the commander has.", "Cancel");
  return m.n;
}

namespace {
// The menu of the buildings; stores the order chosen or returns on Cancel.
void constructmenu(int32_t c) {
  const int32_t p = orderplayer(c), lnr = orderland(c);
  for (;;) {
    const Land& l = land[size_t(lnr)];
    guibegin();
    guititle("Construct Building (%s)", comshownname(c));
    guicloseid(MENU_CANCEL);
    guiminwidth(GUIMENUWIDTH);
    guitextscale(0.8f);
    char why[ORDERWHYLEN];
    if (l.fort == 0 && orderallowed(c, OC_BUILDFORT, 0, why)) {
      const int32_t t = fortordertype(c);
      const Fort& f = forts[size_t(t)];
      guibutton(OC_BUILDFORT, "Build %s (%d)", f.name, ordergoldcost(c, OC_BUILDFORT));
      guiinfo("%s: admin %d, defence %d, siege supplies %d, time to build %d months", f.name, f.val[FORT_ADMIN],
              f.val[FORT_DEF], f.val[FORT_SUPPLY], f.val[FORT_BUILDTIME]);
    } else if (l.fort < 0 && orderallowed(c, OC_BUILDFORT, 0, why)) {
      guibutton(OC_BUILDFORT, "Continue fort construction (0)");
    }
    if (orderallowed(c, OC_BUILDLAB, 0, why)) guibutton(OC_BUILDLAB, "Build lab (%d)", ordergoldcost(c, OC_BUILDLAB));
    if (orderallowed(c, OC_BUILDTEMPLE, 0, why))
      guibutton(OC_BUILDTEMPLE, "Build temple (%d)", ordergoldcost(c, OC_BUILDTEMPLE));
    if (l.fort > 0 && l.fortholder == l.owner) guibutton(544, "Demolish fort");
    if (l.lab) guibutton(545, "Demolish lab");
    guitextscale(0.85f);
    guispace(2);
    guibutton(MENU_CANCEL, "Cancel");
    guishortcut(MENU_CANCEL, KEY_ESCAPE);
    guishow(-1, -1);
    const int32_t id = render_frame(1, 0);
    if (id == MENU_CANCEL) return;
    if (id >= 500 && id <= 899) {
      storeorder(c, (id + 12) % 256, 0, 0, why);
      return;
    }
    if (id < 1 || id > 499) continue;
    if (storeorder(c, id, 0, 0, why)) return;
    if (why[0]) msgbox("%s", why);
    (void)p;
  }
}

// A menu of order choices: the order becomes the id chosen - 100.
void choicemenu(int32_t c, const char* title, const int32_t (&ids)[8], const char* const (&labels)[8], int32_t n) {
  char head[120];
  snprintf(head, sizeof head, title, comshownname(c));
  menubegin();
  menuline(0, head);
  for (int32_t i = 0; i < n; i++) menuline(ids[i], labels[i]);
  menuline(MENU_CANCEL, "Cancel");
  menushow();
  const int32_t id = menuwait();
  if (id < 100 || id == MENU_CANCEL) return;
  char why[ORDERWHYLEN];
  storeorder(c, id - 100, 0, 0, why);
}

void reanimatemenu(int32_t c) {
  if (getcommagic(c, P_PRIEST) < 1 || !ownsprovince(c)) return;
  char why[ORDERWHYLEN];
  if (manikinlevel(c) >= 1) {
    storeorder(c, OC_MANIKINS, 0, 0, why);
    return;
  }
  int32_t ids[8];
  const char* labels[8];
  int32_t n = 0;
  struct Choice {
    int32_t id;
    const char* label;
  };
  static constexpr Choice choices[] = {{121, "reanimate ghouls"},         {122, "reanimate soulless"},
                                       {123, "reanimate longdead warriors"}, {124, "reanimate longdead horsemen"},
                                       {128, "reanimate tomb chariot"},   {126, "reanimate tomb wyrm"},
                                       {125, "revive lictors"}};
  for (const Choice& ch : choices)
    if (orderallowed(c, ch.id - 100, 0, why)) {
      ids[n] = ch.id;
      labels[n++] = ch.label;
    }
  if (n > 0) choicemenu(c, "Reanimate (%s)", ids, labels, n);
}

void spiritsmenu(int32_t c) {
  const int32_t s = callspiritslevel(c);
  if (s < 1) return;
  const int32_t ids[8] = {154, 155, 156};
  const char* labels[8] = {"call dispossessed spirits", "call shadows", "call apparitions"};
  choicemenu(c, "Call Spirits (%s)", ids, labels, imin(s, 3));
}

void entersite(int32_t c, int32_t slot) {
  char why[ORDERWHYLEN];
  if (!storeorder(c, OC_ENTERSITE, slot, 0, why)) {
    if (why[0]) msgbox("%s", why);
    return;
  }
  const int32_t site = orderlandrec(c).site[slot];
  if (site <= 0 || site >= MAXSITES || sites[size_t(site)].effectkind[0] != SITEEFFECT_TARGET) return;
  const int32_t target = chooseprovince(orderplayer(c), 0, "Select target province");
  if (target == 0) com[size_t(c)].order = OC_DEFEND;
  else com[size_t(c)].ordergems[0] = target;
}

void preach(int32_t c, int32_t code) {
  char why[ORDERWHYLEN];
  if (!storeorder(c, code, 0, 0, why)) return;
  const Land& l = orderlandrec(c);
  if (l.veyowner == orderplayer(c) && l.veystr >= preachlimit(c))
    msgbox("%s\n\nPreaching cannot be used to raise the veyrance of this province any higher.", comshownname(c));
}

// The target a ritual needs: a province, or an enchantment with the astral
// pearls put into its dispelling; 0 when the player backed out.
bool ritualtarget(int32_t c, int32_t spell, int32_t* target, int32_t* pearls) {
  *target = 0;
  *pearls = 0;
  switch (ritualtargetkind(spell)) {
    case RT_PROVINCE:
      *target = chooseprovince(orderplayer(c), 0, "Select target province");
      return *target > 0;
    case RT_ENCHANTMENT: {
      *target = chooseench("Dispel which enchantment?");
      if (*target < 0) return false;
      const int32_t stock = kingdom[size_t(orderplayer(c))].w[KW_GEMS + int32_t(P_ASTRAL)];
      *pearls = inputnumber(1, imax(1, stock), "Astral pearls to put into the dispelling");
      return *pearls >= 1;
    }
    default:
      return true;
  }
}

void castritual(int32_t c, int32_t spell, int32_t granted, bool cancelfirst, int32_t id) {
  int32_t target = 0, pearls = 0;
  if (!ritualtarget(c, spell, &target, &pearls)) return;
  if (cancelfirst && !cancelorder(c)) return;
  const int32_t r = castrit(c, spell, granted, target, pearls);
  if (r != RIT_OK) {
    msgbox("%s", ritualrefusaltext(r));
    return;
  }
  if (id == OC_MONTHLYRITUAL && com[size_t(c)].order == OC_RITUAL) com[size_t(c)].order = OC_MONTHLYRITUAL;
}

void ritual(int32_t c, int32_t id) {
  const Land& l = orderlandrec(c);
  if (!l.lab || !holdscastle(c) || (!ismage(c) && getcomitemspell(c, 0) < 1)) return;
  char title[120];
  snprintf(title, sizeof title, "Cast Ritual Spell (%s)", comshownname(c));
  const int32_t spell = choosespell(title, c, 1);
  if (spell < 0) return;
  int32_t granted = 0;
  for (int32_t n = 0; n < 4; n++)
    if (getcomitemspell(c, n) == spell) granted = 1;
  castritual(c, spell, granted, true, id);
}

void itemritual(int32_t c, int32_t n) {
  const int32_t spell = getcomitemspell(c, n);
  if (spell >= 1) castritual(c, spell, 1, false, OC_RITUAL);
}

void changeshape(int32_t c) {
  const int32_t b = com[size_t(c)].body;
  if (getability(b, AB_SHAPECHANGE, 1) <= 0) return;
  if (!shapechange(b)) {
    msgbox("It is not possible to change shape now, it could be fatal");
    return;
  }
  check_item_slots(b, 2);
  cancelorder(c);
}
}  // namespace

namespace {
// The refusals gathered while OrderBatches live (the outermost tells them).
int32_t batches = 0;
std::vector<std::string> gathered;

void tellrefusal(const char* why) {
  if (batches == 0) {
    msgbox("%s", why);
    return;
  }
  for (const std::string& w : gathered)
    if (w == why) return;
  gathered.push_back(why);
}
}  // namespace

OrderBatch::OrderBatch() { batches++; }

OrderBatch::~OrderBatch() {
  if (--batches > 0) return;
  std::string all;
  for (const std::string& w : gathered) all += (all.empty() ? "" : "\n\n") + w;
  gathered.clear();
  if (!all.empty()) msgbox("%s", all.c_str());
}

bool orderrefused(int32_t cnr, int32_t id, char* why) {
  why[0] = 0;
  const char* name = comshownname(cnr);
  const Land& l = orderlandrec(cnr);
  const bool lab = l.lab && holdscastle(cnr);
  auto tell = [&](const char* format, auto... args) {
    snprintf(why, ORDERWHYLEN, format, args...);
    return true;
  };
  switch (id) {
    case -20: case -19: case -18: case -17: return !orderallowed(cnr, 50, id + 20, why) && why[0];
    case -5:
      if (!ismage(cnr)) return tell("Only mages can work alchemy.");
      return !lab && tell("Alchemy needs a laboratory in a province whose castle the nation holds.");
    case -4:
      return getability(combody(cnr), AB_SHAPECHANGE, 1) <= 0 && tell("%s cannot change shape.", name);
    case 21: return !orderallowed(cnr, manikinlevel(cnr) >= 1 ? 27 : 21, 0, why);
    case 54: return !orderallowed(cnr, 54, 0, why);
    case 9: case 60:
      if (!lab) return tell("Rituals are cast in a laboratory in a province whose castle the nation holds.");
      return !ismage(cnr) && getcomitemspell(cnr, 0) < 1 && tell("%s knows no ritual magic.", name);
    case 36: case 37: case 38: case 39: case 40: case 41: case 42:
      return getcomitemspell(cnr, id - 36) < 1 && tell("%s carries no item with that spell.", name);
    case 11:
      if (!ismage(cnr)) return tell("Only mages can forge magic items.");
      return !lab && tell("Magic items are forged in a laboratory in a province whose castle the nation holds.");
    case 5: return !lab && tell("Empowerment needs a laboratory in a province whose castle the nation holds.");
    case 1: case 46: {
      const int32_t dest = com[size_t(cnr)].orderparam;
      if (com[size_t(cnr)].order != 1 && com[size_t(cnr)].order != 2 && com[size_t(cnr)].order != 46)
        return tell("Choose where %s moves by clicking a province on the map.", name);
      return (dest < 1 || dest == orderland(cnr) || !mapmove(cnr, dest, 0)) &&
             tell("Choose where %s moves by clicking a province on the map.", name);
    }
    case -2: case 59: return false;
    default: return id >= 0 && !orderallowed(cnr, id, 0, why);
  }
}

void changeoneorder(int32_t cnr, int32_t id) {
  if (cnr < 0) return;
  const int32_t b = combody(cnr);
  if (b < 0) {
    fatalerror("coo: bad unr");
    return;
  }
  const int32_t lnr = unitlandnr(b);
  if (lnr < 0) {
    fatalerror("coo: bad lnr");
    return;
  }
  Commander& c = com[size_t(cnr)];
  debugprint("changeoneorder %d (%s)\n", cnr, c.name);
  const int32_t p = unit[size_t(b)].owner;
  Land& l = land[size_t(lnr)];
  if (id == 59) {   // blood slaves carried go into the laboratory
    if (l.fortholder == p && l.lab && unit[size_t(b)].homeland != -2) {
      Kingdom& k = kingdom[size_t(p)];
      k.w[KW_GEMS + int32_t(P_BLOOD)] = int16_t(imin(32767, k.w[KW_GEMS + int32_t(P_BLOOD)] + c.gems[P_BLOOD]));
      c.gems[P_BLOOD] = 0;
    }
    return;
  }
  if (id >= -16 && id <= -11) {
    fatalerror("entsi80");
    return;
  }
  char why[ORDERWHYLEN];
  // A refused request says why and leaves the commander's order as it was.
  if (orderrefused(cnr, id, why)) {
    if (why[0]) tellrefusal(why);
    return;
  }
  if (id != 60 && id != 9 && id != 11 && id != -5 && !cancelorder(cnr)) return;
  switch (id) {
    case -20: case -19: case -18: case -17: entersite(cnr, id + 20); return;
    case -5:
      if (ismage(cnr) && holdscastle(cnr) && l.lab) alch(lnr, cnr);
      return;
    case -4: changeshape(cnr); return;
    case -2: constructmenu(cnr); return;
    case 21: reanimatemenu(cnr); return;
    case 54: spiritsmenu(cnr); return;
    case 6: case 43: preach(cnr, id); return;
    case 9: case 60: ritual(cnr, id); return;
    case 36: case 37: case 38: case 39: case 40: case 41: case 42: itemritual(cnr, id - 36); return;
    case 11:
      if (ismage(cnr) && holdscastle(cnr) && l.lab) forge(lnr, cnr);
      return;
    case 5:
      if (holdscastle(cnr) && l.lab) train(lnr, cnr);
      return;
    case 1: case 46:
      storeorder(cnr, id, c.orderparam, 1, why);
      return;
    case 2:
      storeorder(cnr, 2, 0, 1, why);
      return;
    default:
      if (id < 0) return;
      if (!storeorder(cnr, id, 0, 1, why) && why[0]) tellrefusal(why);
      return;
  }
}

void changeorder(int32_t cnr) {
  bailif(cnr < 0 || cnr >= 9000, "changeorder: bad cnr");
  const int32_t b = combody(cnr);
  if (b < 0) {
    fatalerror("changeorder: bad unr");
    return;
  }
  if (unitlandnr(b) < 0) {
    fatalerror("changeorder: bad lnr");
    return;
  }
  static OrderEntry entries[ORDERMENUSIZE];
  const int32_t n = ordermenuentries(cnr, entries, ORDERMENUSIZE);
  int32_t id = 0;
  for (;;) {
    guibegin();
    guititle("%s", comshownname(cnr));
    guicloseid(MENU_CANCEL);
    guiminwidth(GUIMENUWIDTH);
    guitextscale(0.8f);
    for (int32_t i = 0; i < n; i++) {
      if (entries[i].id == MENU_CANCEL) {
        guispace(2);
        guitextscale(0.85f);
      }
      guibutton(entries[i].id, "%s", entries[i].label);
      if (entries[i].help) guiinfo("%s", entries[i].help);
      if (entries[i].key) {
        guishortcut(entries[i].id, entries[i].key);
        guishortcut(entries[i].id, entries[i].key - 'A' + 'a');
      }
    }
    guishortcut(MENU_CANCEL, KEY_ESCAPE);
    guishortcut(MENU_CANCEL, KEY_RETURN);
    guishortcut(MENU_CANCEL, KEY_SPACE);
    guishow(-1, -1);
    id = render_frame(1, 0);
    if (id != 0) break;
  }
  applyorderchoice(cnr, id);
}

void applyorderchoice(int32_t cnr, int32_t id) {
  if (id == MENU_MOVEHELP) {
    msgbox("Follow these steps in order to move your commander to another province\n\n* Select commander on main "
           "screen by clicking on him\n\n* Click on a neigboring province on the map\n\n* An arrow will indicate your "
           "move order");
    return;
  }
  if (id == MENU_CANCEL || id == MENU_NOTHING || id < 1) return;
  bool selected = false;
  for (int32_t i = 0; i <= selectedcoms.last; i++)
    if (selectedcoms.nr[size_t(i)] == cnr) selected = true;
  if (!selected) {
    changeoneorder(cnr, id - 100);
    return;
  }
  const int32_t owner = unit[size_t(com[size_t(cnr)].body)].owner;
  OrderBatch batch;
  for (int32_t i = 0; i <= selectedcoms.last; i++) {
    const int32_t c = selectedcoms.nr[size_t(i)];
    if (combody(c) >= 0 && unit[size_t(com[size_t(c)].body)].owner == owner && unitlandnr(com[size_t(c)].body) >= 0)
      changeoneorder(c, id - 100);
  }
}
