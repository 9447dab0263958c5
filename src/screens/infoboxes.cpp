// Item, site, fort and mercenary boxes.
#include "screens/infoboxes.h"

#include <algorithm>
#include <cstdio>

#include "actions/sharedrules.h"
#include "gfx/dialogs.h"
#include "gfx/gui.h"
#include "magic/rituals.h"
#include "mapview/overlay.h"
#include "runtime/fatal.h"
#include "runtime/trs.h"
#include "screens/orders.h"
#include "screens/screens.h"
#include "world/forts.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/siteentry.h"
#include "worldgen/mercenaries.h"

namespace {
constexpr int32_t SPRITEMODE = 4, ID_EXIT = 999, ID_SPELL = 1000, ID_LIST = 1,
                  ID_CASTLEEXIT = 9, ID_HIRE = 1, ID_RESET = 2, ID_MERCEXIT = 9;
constexpr const char* MAGEWORD[9] = {"fire mage",  "air mage",    "water mage", "earth mage", "astral mage",
                                     "death mage", "nature mage", "blood mage", "priest"};
constexpr const char* PATHLOWER[8] = {"fire", "air", "water", "earth", "astral", "death", "nature", "blood"};
constexpr const char* PATHNAME[9] = {"Fire", "Air", "Water", "Earth", "Astral", "Death", "Nature", "Blood", "Priest"};
constexpr const char* SCALENAME[2][6] = {{"Turmoil", "Sloth", "Cold", "Death", "Misfortune", "Drain"},
                                         {"Order", "Productivity", "Heat", "Growth", "Luck", "Magic"}};

const char* typename_(int32_t type) { return typerec(type) ? unittypes[size_t(type)].name : "unknown beings"; }
}  // namespace

std::vector<InfoLine> itemlines(int32_t inr) {
  std::vector<InfoLine> out;
  if (!validitem(inr)) return out;
  const Item& it = items[size_t(inr)];
  static constexpr const char* KIND[9] = {"", "single handed weapon", "two handed weapon", "", "shield", "armor",
                                          "helmet", "boots", "miscellaneous"};
  if (it.type >= 1 && it.type <= 8 && KIND[it.type][0]) out.push_back({KIND[it.type], ""});
  out.push_back({"", ""});
  if (validweapon(it.weapon)) {
    const Weapon& w = weapons[size_t(it.weapon)];
    const int32_t type = w.dmgtype % 1000;
    if (w.flags & WF_ARMORNEGATING) out.push_back({strf("damage: %d (armor negating)", w.dmg), ""});
    else if (w.flags & WF_ARMORPIERCING) out.push_back({strf("damage: %d (armor piercing)", w.dmg), ""});
    else out.push_back({strf("damage: %d", w.dmg), ""});
    const struct {
      int32_t type;
      const char* text;
    } kinds[] = {{24, "(x3 vs undead/demon)"}, {32, "(x3 vs larger beings)"}, {73, "(x2 vs magic beings)"},
                 {33, "(x2 vs smaller beings)"}, {109, "(max 1 HP damage)"}};
    for (const auto& k : kinds)
      if (type == k.type) out.push_back({k.text, ""});
    if (!(w.flags & WF_STRENGTH)) out.push_back({"(strength of wielder not added)", ""});
    if (w.range != 0) {
      out.push_back({strf("precision: %d", w.att), ""});
    } else {
      out.push_back({strf("attack: %d", w.att), ""});
      out.push_back({strf("defence: %d", w.def), ""});
      out.push_back({strf("length: %d", w.len), ""});
    }
    if (w.nratt < 0) out.push_back({strf("nbr of attacks: 1 per %d turns", -w.nratt), ""});
    else if (w.nratt != 1) out.push_back({strf("nbr of attacks: %d", w.nratt), ""});
    if (w.range != 0) {
      if (w.range == -1) out.push_back({"range: strength", ""});
      else if (w.range == -2) out.push_back({"range: strength/2", ""});
      else out.push_back({strf("range: %d", w.range), ""});
      out.push_back({strf("ammunition: %d", w.ammo), ""});
    }
  }
  if (validarmor(it.armor)) {
    const Armor& a = armors[size_t(it.armor)];
    int32_t body = 0;
    for (const ArmorProt& p : a.prot) {
      if (p.loc == 0) break;
      if (p.loc == LOC_HEAD) out.push_back({strf("protection, head: %d", p.prot), ""});
      else if (p.loc == LOC_SHIELD) out.push_back({strf("protection, shield: %d", p.prot), ""});
      else if (p.loc == LOC_ALLBUTSHIELD) out.push_back({strf("protection: %d", p.prot), ""});
      else body += p.loc == LOC_BODY ? 2 * p.prot : p.prot;
    }
    if (body > 0) out.push_back({strf("protection, body: %d", body / 4), ""});
    if (a.prot[0].loc == LOC_SHIELD) {
      out.push_back({strf("defence: %d", -a.enc), ""});
      out.push_back({strf("parry: %d", a.def + a.enc), ""});
    } else {
      out.push_back({strf("defence: %d", a.def), ""});
    }
    out.push_back({strf("encumbrance: %d", a.enc), ""});
  }
  const size_t before = out.size();
  for (int32_t n = 0; n < ITEMABILITIES; n++) {
    const int32_t k = it.abilityid[n], v = it.abilityval[n];
    if (k == AB_RESEARCHBONUS) out.push_back({strf("research bonus: %d", v), ""});
    else if (k >= AB_MAGICBOOST && k < AB_MAGICBOOST + P_PRIEST)
      out.push_back({strf("%s magic bonus: %d", PATHLOWER[k - AB_MAGICBOOST], v), ""});
    else if (k == AB_MAGICBOOST + P_PRIEST) out.push_back({strf("priest bonus: %d", v), ""});
    else if (k == AB_ELEMENTALBOOST) out.push_back({strf("elemental bonus: %d", v), ""});
    else if (k == AB_SORCERYBOOST) out.push_back({strf("sorcery bonus: %d", v), ""});
    else if (k == AB_MAGICBOOSTALL) out.push_back({strf("magic bonus: %d", v), ""});
    else if (k == AB_FORGEBONUS) out.push_back({strf("forge bonus: %d", v), ""});
    else if (k == AB_FIREASTRALBOOST) {
      out.push_back({"fire magic bonus: 2", ""});
      out.push_back({"astral magic bonus: 2", ""});
    } else if (k == AB_ONEPATHBOOST && v >= 0 && v <= 8) out.push_back({strf("%s magic bonus: 1", PATHNAME[v]), ""});
    else if (k == AB_REINVIGORATION) out.push_back({strf("reinvigoration: %d", v), ""});
    else if (k == AB_PENETRATION) out.push_back({strf("penetration bonus: %d", v), ""});
  }
  if (out.size() > before) out.push_back({"", ""});
  return out;
}

std::vector<ItemNeed> itemneeds(int32_t inr) {
  std::vector<ItemNeed> out;
  if (!validitem(inr)) return out;
  const Item& it = items[size_t(inr)];
  if (it.mainlevel > 0) out.push_back({itemgemcost(it.mainlevel), it.mainpath});
  if (it.secondlevel > 0) out.push_back({itemgemcost(it.secondlevel), it.secondpath});
  return out;
}

std::vector<InfoLine> sitelines(int32_t snr) {
  std::vector<InfoLine> out;
  if (snr < 1 || snr >= MAXSITES) return out;
  const Site& s = sites[size_t(snr)];
  const char* mage = s.path >= 0 && s.path < 9 ? MAGEWORD[s.path] : "mage";
  char plural[PLURALLEN];
  for (int32_t n = 0; n < SITEEFFECTS; n++) {
    const int32_t k = s.effectkind[n], v = s.effectval[n];
    if (n > 0 && k == s.effectkind[n - 1] && v == s.effectval[n - 1]) continue;
    if (k >= 1 && k <= 8) out.push_back({strf("Produces %d", v), "", SPRITE_GEM + k - 1, "per turn"});
    else if (k == SE_GOLD) out.push_back({strf("Brings %d gold per turn", v), ""});
    else if (k == SE_RES) out.push_back({strf("Produces %d resources", v), ""});
    else if (k == 11 || k == 12 || k == 29 || k == 30) out.push_back({strf("Enables recruitment of %s", typename_(v)), ""});
    else if (k == SE_UNREST) {
      out.push_back({v >= 0 ? strf("Decreases unrest by %d", v) : strf("Increases unrest by %d", -v), ""});
    } else if (k == SE_DISEASE) out.push_back({"Spreads deadly diseases", ""});
    else if (k == SE_SUMMON) {
      if (n + 1 < SITEEFFECTS && s.effectkind[n + 1] == SE_SUMMON && s.effectval[n + 1] == v) {
        out.push_back({strf("%s %s may enter to summon %s", anacap(mage), mage, unittitle(2, typename_(v), plural)), ""});
        n++;
      } else {
        out.push_back({strf("%s %s may enter to summon %s %s", anacap(mage), mage, aan(typename_(v)), typename_(v)), ""});
      }
    } else if (k == SE_SCRY) {
      out.push_back({v < 2 ? strf("%s %s may enter to scry", anacap(mage), mage)
                           : strf("%s %s may enter to scry (duration %d months)", anacap(mage), mage, v),
                     ""});
    } else if (k == SE_VOID) out.push_back({"Enter to summon void monsters", ""});
    else if (k == SE_TREASURE) out.push_back({"Enter to hunt for treasures and fame", ""});
    else if (k == SE_TRAINING) out.push_back({"Enter for combat training", ""});
    else if (k == SE_SUPPLY) out.push_back({strf("Provides %d supply points", v), ""});
    else if (k >= 60 && k <= 66) {
      static constexpr const char* SCHOOL[7] = {"Conjuration", "Alteration",  "Evocation",  "Construction",
                                                "Enchantment", "Thaumaturgy", "Blood Magic"};
      out.push_back({strf("%s Bonus: %d", SCHOOL[k - 60], v), ""});
    } else if ((k == SE_SCALEFIRST || k == SE_SCALESECOND) && v >= 0 && v < 6) {
      out.push_back({strf("Increases %s", SCALENAME[k == SE_SCALEFIRST ? 0 : 1][v]), ""});
    }
  }
  return out;
}

std::vector<InfoLine> fortlines(int32_t player, int32_t lnr, int32_t f) {
  std::vector<InfoLine> out;
  if (f < 0 || f >= MAXFORTS) return out;
  const Fort& fort = forts[size_t(f)];
  const auto hover = [](const char* key) { return std::string(descrtextof(finddescr(key))); };
  out.push_back({strf("Administration %d", fort.val[FORT_ADMIN]), hover("fortadmin")});
  out.push_back({strf("Supply storage %d", fort.val[FORT_STORAGE]), hover("fortsupply")});
  out.push_back({strf("Time to build %d", fort.val[FORT_BUILDTIME]), hover("forttime")});
  out.push_back({strf("Cost %d", fortcost(std::max(lnr, 0), f)), hover("fortcost")});
  out.push_back({strf("Defence value %d", fortdef(f, lnr)), hover("fortdef")});
  if (lnr > 0 && lnr < MAXLANDS) {
    const Land& l = land[size_t(lnr)];
    if (l.owner == player && l.fortholder != player) {
      out.push_back({"", ""});
      out.push_back({"Fort is under siege", ""});
    } else if (l.fortholder == player && l.owner != player) {
      out.push_back({"", ""});
      out.push_back({"Fort is under siege", ""});
      out.push_back({strf("Defence left %d", l.fortdef), ""});
    }
  }
  return out;
}

// ------------------------------------------------------------- mercenaries

namespace {
bool validoffer(int32_t b) { return b >= 0 && b < MAXMERCBANDS; }
bool validbidder(int32_t p) { return p >= 0 && p < MAXPLAYERS; }
int16_t& bidof(int32_t b, int32_t p) { return kingdom[size_t(p)].w[KW_MERCBIDS + b]; }
}  // namespace

int32_t mercprice(int32_t b, int32_t p) {
  return validoffer(b) ? mercprice(b, p, mercband[size_t(b)].value[MB_EMPLOYER]) : 0;
}

std::vector<InfoLine> merclines(int32_t b, int32_t p) {
  std::vector<InfoLine> out;
  if (!validoffer(b)) return out;
  const MercBand& m = mercband[size_t(b)];
  const int32_t leader = m.value[MB_LEADER], body = combody(leader);
  if (body < 0) return out;
  const char* name = comshownname(leader);
  const int32_t men = nbrcomunits(leader);
  std::string who;
  if (men >= 1) who = ismage(leader) ? strf("The mage %s commands %d men", name, men) : strf("%s commands %d men", name, men);
  else if (ismage(leader)) who = strf("The mage %s doesn't command any men", name);
  else if (unit[size_t(body)].type != 150 && getsize(body) > 3)
    who = strf("%s doesn't command any men but is quite huge %sself.", name, himher(body));
  else who = strf("%s doesn't command any men", name);
  const int32_t price = mercprice(b, p), months = m.value[MB_MONTHS];
  if (months < 2) {
    if (who.back() == '.') who.pop_back();
    out.push_back({p == m.value[MB_EMPLOYER]
                       ? strf("%s and demands %d pounds of gold for another three months of service.", who.c_str(), price)
                       : strf("%s and demands %d pounds of gold for employment.", who.c_str(), price),
                   ""});
    if (price != m.value[MB_PRICE])
      out.push_back({strf("(Demands %d pounds of gold for employment by most other nations)", m.value[MB_PRICE]), ""});
  } else {
    if (who.back() == '.') who.pop_back();
    out.push_back({strf("%s and has %d month remaining on current contract", who.c_str(), months), ""});
  }
  if (validbidder(p) && bidof(b, p) > 0) {
    out.push_back({"", ""});
    out.push_back({strf("Your current bid is %d pounds of gold.", bidof(b, p)), ""});
  }
  return out;
}

int32_t mercstartbid(int32_t b, int32_t p, int32_t tag) {
  if (!validoffer(b) || !validbidder(p)) return 0;
  withdrawmercbid(b, p);
  const int32_t bid = std::clamp(std::min(mercprice(b, p), kingdom[size_t(p)].gold), 0, 32767);
  bidformerc(b, p, bid, tag);
  return bidof(b, p);
}

// ------------------------------------------------------------- the windows

int32_t mibox(int32_t inr) {
  bailif(inr < 0 || inr >= MAXITEMS, "mibox: bad mi");
  const Item& it = items[size_t(inr)];
  const std::vector<InfoLine> lines = itemlines(inr);
  const std::vector<ItemNeed> needs = itemneeds(inr);
  const int32_t spell = it.spell[0] ? name2spell(it.spell) : 0;
  GuiBox box;
  for (;;) {
    guiboxbegin();
    guititle("%s", it.name);
    guicloseid(ID_EXIT);
    guimaxwidth(450);
    guiminwidth(300);
    guimaxheight(500);
    guitextscale(3.0f);
    guisprite(0, TRS_ITEMS, it.picture, SPRITEMODE);
    guiscrollstart();
    guitextscale(0.8f);
    guibgbox(0.7f, 0.3f, 0.2f, 0.2f);
    showinfolines(lines);
    if (spell > 0) {
      guibutton(ID_SPELL + spell, "spell: %s", it.spell);
      guiinfo("Click for the spell's description");
      guispace(2);
    }
    if (!needs.empty()) {
      guisetnl(0);
      for (size_t n = 0; n < needs.size(); n++) {
        guibutton(0, n == 0 ? "Requires %d " : " and %d ", needs[n].gems);
        if (needs[n].path >= 0 && needs[n].path < 9) guisprite(0, TRS_MISC, SPRITE_GEM + needs[n].path, SPRITEMODE);
      }
      guibutton(0, " to produce");
      guisetnl(1);
    }
    guibgbox(0, 0, 0, 0);
    const int32_t d = finditemdescr(inr);
    if (d > 0) {
      guispace(2);
      guitextscale(0.7f);
      guitextlong(0, descrtextof(d));
    }
    guitextscale(1.0f);
    guispace(2);
    guialign(GUIALIGN_CENTRE);
    guibutton(ID_EXIT, "Exit");
    guishortcut(ID_EXIT, KEY_ESCAPE);
    guishortcut(ID_EXIT, KEY_RETURN);
    guishortcut(ID_LIST, 'I');
    guishow(-1, -1);
    guisetfade(0);
    const int32_t id = render_frame(true, Scene::none);
    if (id == ID_EXIT) return ID_EXIT;
    if (id == ID_SPELL + spell && spell > 0) spellinfobox(spell);
    if (id == ID_LIST) {
      char listing[200];
      snprintf(listing, sizeof listing, "%s\nMagic item number: %d", it.name, inr);
      numberlisting(it.name, listing);
    }
  }
}

int32_t featbox(int32_t snr) {
  bailif(snr > 999 || snr >= MAXSITES, "featbox: bad fnr");
  if (snr < 1) return ID_EXIT;
  const std::vector<InfoLine> lines = sitelines(snr);
  GuiBox box;
  auto build = [&] {
    guiboxbegin();
    guititle("%s", sites[size_t(snr)].name);
    guicloseid(ID_EXIT);
    guiminwidth(300);
    guimaxwidth(450);
    guitextscale(3.5f);
    guisprite(0, TRS_MISC, siteicon(snr), SPRITEMODE);
    guispace(2);
    guitextscale(0.85f);
    showinfolines(lines);
    guitextscale(1.0f);
    guispace(3);
    guialign(GUIALIGN_CENTRE);
    guibutton(ID_EXIT, "Exit");
    guishortcut(ID_EXIT, KEY_ESCAPE);
    guishow(-1, -1);
    guisetfade(0);
  };
  // Exit is all there is to click; a left click on a line, which is plain
  // text, closes the box too.
  return guimodalplainclose(build);
}

int32_t castlebox(int32_t player, int32_t lnr, int32_t f) {
  bailif(f < 0, "castlebox: bad type");
  if (f >= MAXFORTS) return ID_CASTLEEXIT;
  const std::vector<InfoLine> lines = fortlines(player, lnr, f);
  GuiBox box;
  for (;;) {
    guiboxbegin();
    guititle("%s", forts[size_t(f)].name);
    guicloseid(ID_CASTLEEXIT);
    guiminwidth(300);
    guimaxwidth(450);
    // The map's fort for every type: the fort table's picture numbers name
    // nothing of their own in the icon archive (5 to 8 are the seasons). No
    // empty space where the archive lacks it.
    if (spritepresent(TRS_MISC, ICON_FORT)) {
      guitextscale(3.5f);
      guisprite(0, TRS_MISC, ICON_FORT, SPRITEMODE);
      guispace(2);
    }
    guitextscale(0.85f);
    showinfolines(lines);
    guitextscale(1.0f);
    guispace(4);
    guialign(GUIALIGN_CENTRE);
    guibutton(ID_CASTLEEXIT, "Exit");
    guishortcut(ID_CASTLEEXIT, KEY_ESCAPE);
    guishortcut(ID_CASTLEEXIT, KEY_RETURN);
    guishow(-1, -1);
    guisetfade(0);
    if (render_frame(true, Scene::none) == ID_CASTLEEXIT) return ID_CASTLEEXIT;
  }
}

void mercbox(int32_t b, int32_t p, int32_t tag) {
  bailif(!validoffer(b), "mercbox: bad mercnr");
  const int32_t leader = mercband[size_t(b)].value[MB_LEADER];
  bailif(leader < 0, "mercbox: bad cnr");
  bailif(combody(leader) < 0, "mercbox: bad unr");
  if (!validbidder(p)) return;
  GuiBox box;
  for (;;) {
    guiboxbegin();
    guititle("%s", mercband[size_t(b)].name);
    guicloseid(ID_MERCEXIT);
    guiminwidth(360);
    guimaxwidth(450);
    guitextscale(0.85f);
    for (const InfoLine& l : merclines(b, p)) guitextlong(0, l.text.c_str());
    guispace(3);
    guitextscale(0.95f);
    guialign(GUIALIGN_CENTRE);
    if (mercband[size_t(b)].value[MB_MONTHS] < 2) {
      guibutton(ID_HIRE, "Hire");
      guibutton(ID_RESET, "Reset");
      guispace(3);
    }
    guibutton(ID_MERCEXIT, "Exit");
    guishortcut(ID_MERCEXIT, KEY_ESCAPE);
    guishortcut(ID_MERCEXIT, KEY_RETURN);
    guishow(-1, -1);
    guisetfade(0);
    const int32_t id = render_frame(true, Scene::none);
    if (id == ID_MERCEXIT) return;
    if (id == ID_RESET) withdrawmercbid(b, p);
    if (id == ID_HIRE) {
      mercstartbid(b, p, tag);
      for (;;) {
        const int32_t bid = kingdom[size_t(p)].w[KW_MERCBIDS + b];
        const int a = adjustvaluebox("Bid for mercenary", "Bid",
                                     "Mercenaries will serve the highest bidder for three months. The current owner of "
                                     "a mercenary band will have his bid counted as double for this purpose.",
                                     bid, kingdom[size_t(p)].gold > 0, bid > 0);
        if (a == 0) break;
        if (a == 1 || a == -1) stepmercbid(b, p, a);
      }
      if (kingdom[size_t(p)].w[KW_MERCBIDS + b] <= 0) withdrawmercbid(b, p);
    }
  }
}
