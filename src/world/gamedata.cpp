// The game-data tables, their code-set names and the name look-ups.
#include "world/gamedata.h"
#include "world/recipes.h"

#include <strings.h>

std::array<Monster, MAXUNITTYPES> unittypes;
std::array<Weapon, MAXWEAPONS> weapons;
std::array<Armor, MAXARMORS> armors;
std::array<Item, MAXITEMS> items;
std::array<Site, MAXSITES> sites;
std::array<Nation, MAXNATIONS> nations;
std::array<Spell, MAXSPELLS> spells;
std::array<Fort, MAXFORTS> forts;
std::array<TypeMagic, MAXTYPEMAGIC> typemagic;
std::array<RandMagic, MAXRANDMAGIC> randmagic;
std::array<std::array<int32_t, RECRUITLEN>, MAXPOPTYPES> poprecruit;
std::array<MercTemplate, MAXMERCTEMPLATES> merctemplates;
std::array<Recipe, MAXRECIPES> recipes;
std::array<RecipeStep, MAXRECIPESTEPS> recipesteps;
std::array<int16_t, MAXRECIPECODE> recipecode;
std::array<Epithet, MAXEPITHETS> epithets;
std::array<ProvNameList, NBRPROVNAMELISTS> provnames;
std::array<PersonalNameList, MAXNAMETYPES> personalnames;
std::array<Descr, MAXDESCRS> descrs;
std::array<Event, MAXRANDEVENTS> randevents;
int32_t nbrdescrs;
std::array<char, DESCRTEXTPOOL> descrtext;

const char* const pathnames[10] = {"Fire", "Air", "Water", "Earth", "Astral",
                                   "Death", "Nature", "Blood", "Priest", "Unholy priest"};
const char* const gemnames[9] = {"fire gem", "air gem", "water gem", "earth gem", "astral pearl",
                                  "death gem", "nature gem", "blood slave", "holy gem"};
const char* const gemtitles[9] = {"Fire Gems", "Air Gems", "Water Gems", "Earth Gems", "Astral Pearls",
                                  "Death Gems", "Nature Gems", "Blood Slaves", "Holy Gems"};
const char* const scalenames[6][2] = {{"Turmoil", "Order"}, {"Sloth", "Productivity"}, {"Cold", "Heat"},
                                      {"Death", "Growth"}, {"Misfortune", "Luck"}, {"Drain", "Magic"}};
const char* const ailevelnames[6] = {"None", "Easy AI", "Normal AI", "Difficult AI", "Mighty AI", "Impossible AI"};
const char* const aipersonalitynames[4] = {"Random", "Standard", "Defensive", "Aggressive"};
const char* const itemtypenames[9] = {"nuffin", "One handed weapons", "Two handed weapons", "Missile weapons",
                                      "Shields", "Armors", "Helmets", "Boots", "Misc"};
const char* const slotkindnames[6] = {"nuffin", "Hand", "Head", "Body", "Feet", "Misc"};
const char* const eventreqnames[EVR_COUNT] = {
    "none", "good", "bad", "season", "forest", "mountain", "swamp", "waste", "farm", "sea", "land", "coast", "cave",
    "plain", "deepsea", "turmoil", "order", "sloth", "productivity", "cold", "heat", "death", "growth", "misfortune",
    "luck", "drain", "magic", "fort", "nofort", "temple", "notemple", "lab", "nolab", "minpop", "maxpop", "unrest",
    "calm", "veyrance", "foreignveyrance", "gold", "turn", "mage", "priest", "commander", "army", "noarmy", "site",
    "capital", "notcapital", "corpses", "provinces", "era", "poor"};
const char* const eventeffectnames[EVE_COUNT] = {
    "none", "gold", "goldpop", "pop", "unrest", "firegems", "airgems", "watergems", "earthgems", "pearls",
    "deathgems", "naturegems", "slaves", "turmoil", "sloth", "cold", "death", "misfortune", "drain", "defence",
    "resources", "income", "count", "monsters", "units", "commander", "item", "kill", "disease", "heal",
    "experience", "temple", "notemple", "lab", "nolab", "findsite", "newsite", "veyrance", "corpses", "research",
    "gates"};
const char* const schoolnames[8] = {"Conjuration", "Alteration", "Evocation", "Construction",
                                    "Enchantment", "Thaumaturgy", "Blood Magic", "Divine"};

// An unused row has an empty name; no look-up offers it.
static bool namematches(const char* rowname, const char* name) {
  return rowname[0] != 0 && strcasecmp(rowname, name) == 0;
}

int findunittype(const char* name) {
  if (name == nullptr) return -1;
  for (int m = 0; m < MAXUNITTYPES && unittypes[m].sprite != UNITTYPE_ENDSPRITE; m++)
    if (namematches(unittypes[m].name, name)) return m;
  return -1;
}

int findarmor(const char* name) {
  if (name == nullptr) return -1;
  for (int a = 0; a < MAXARMORS && armors[a].def != ARMOR_ENDDEF; a++)
    if (namematches(armors[a].name, name)) return a;
  return -1;
}

// Prefers the row whose wielder's strength counts, so that a natural or
// special copy of a common weapon name never shadows the ordinary weapon.
int findweapon(const char* name) {
  if (name == nullptr) return -1;
  for (int w = 0; w < MAXWEAPONS && weapons[w].dmg != WEAPON_ENDDMG; w++)
    if ((weapons[w].flags & WF_STRENGTH) && namematches(weapons[w].name, name)) return w;
  for (int w = 0; w < MAXWEAPONS && weapons[w].dmg != WEAPON_ENDDMG; w++)
    if (namematches(weapons[w].name, name)) return w;
  return -1;
}

int finditem(const char* name) {
  if (name == nullptr) return 0;
  for (int i = 1; i < MAXITEMS && items[i].constlevel <= ITEM_SENTINELLEVEL; i++)
    if (namematches(items[i].name, name)) return i;
  return 0;
}

int findsite(const char* name) {
  if (name == nullptr) return -1;
  for (int s = 0; s < MAXSITES && sites[s].path < SITE_ENDPATH; s++)
    if (namematches(sites[s].name, name)) return s;
  return -1;
}

int findspell(const char* name) {
  if (name == nullptr) return -1;
  for (int s = 0; s < MAXSPELLS && spells[s].researchlevel != SPELL_ENDLEVEL; s++)
    if (namematches(spells[s].name, name)) return s;
  return -1;
}

int findfort(const char* name) {
  if (name == nullptr) return -1;
  for (int f = 0; f < MAXFORTS; f++)
    if (namematches(forts[f].name, name)) return f;
  return -1;
}

int32_t getnatattr(int nation, uint32_t key) {
  if (nation < 0 || nation >= MAXNATIONS) return 0;
  const Nation& n = nations[nation];
  for (int i = 0; i < NATIONATTRS && n.attrkey[i] != 0; i++)
    if (n.attrkey[i] == key) return n.attrval[i];
  return 0;
}

int32_t getnatcoldpref(int nation) { return getnatattr(nation, NA_COLDPREF); }

int finddescr(const char* key) {
  if (key == nullptr) return 0;
  for (int d = 1; d < nbrdescrs && d < MAXDESCRS; d++)
    if (namematches(descrs[d].key, key)) return d;
  return 0;
}

const char* descrtextof(int index) {
  if (index < 0 || index >= nbrdescrs || index >= MAXDESCRS) index = 0;
  int32_t ofs = descrs[index].text;
  if (nbrdescrs < 1 || ofs < 0 || ofs >= DESCRTEXTPOOL) return "no description available";
  return &descrtext[ofs];
}

int nbrofunittypes() {
  int m = 0;
  while (m < MAXUNITTYPES && unittypes[m].sprite != UNITTYPE_ENDSPRITE) m++;
  return m;
}

int nbrofweapons() {
  int w = 0;
  while (w < MAXWEAPONS && weapons[w].dmg != WEAPON_ENDDMG) w++;
  return w;
}

int nbrofarmors() {
  int a = 0;
  while (a < MAXARMORS && armors[a].def != ARMOR_ENDDEF) a++;
  return a;
}

int nbrofitems() {
  int i = 0;
  while (i < MAXITEMS && items[i].constlevel <= ITEM_SENTINELLEVEL) i++;
  return i;
}

int nbrofsites() {
  int s = 0;
  while (s < MAXSITES && sites[s].path < SITE_ENDPATH) s++;
  return s;
}

int nbrofspells() {
  int s = 0;
  while (s < MAXSPELLS && spells[s].researchlevel != SPELL_ENDLEVEL) s++;
  return s;
}

int nbrofnations() {
  int n = 0;
  while (n < MAXNATIONS && (int16_t)(nations[n].endmarker & 0xffff) != NATION_FREEMARK) n++;
  return n;
}

int nbrofepithets() {
  int e = 0;
  while (e < MAXEPITHETS && strcasecmp(epithets[e].text, "end") != 0) e++;
  return e;
}

int nbrofmerctemplates() {
  int t = 0;
  while (t < MAXMERCTEMPLATES && merctemplates[t].tier != MERC_ENDTIER) t++;
  return t;
}

// Used rows have a name and no end row before them.
int isusedunittype(int m) {
  if (m < 0 || m >= MAXUNITTYPES || unittypes[m].name[0] == 0) return 0;
  for (int k = 0; k <= m; k++)
    if (unittypes[k].sprite == UNITTYPE_ENDSPRITE) return 0;
  return 1;
}
