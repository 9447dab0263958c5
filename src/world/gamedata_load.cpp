// The strict loader of the data files (format in data/README.md): it fills
// the game-data tables and refuses unknown keys, values too large for their
// field, overlong names, duplicate rows and missing required rows, naming the
// file and line of the fault.
#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gamedata_ids.h"
#include "runtime/fatal.h"
#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/recipes.h"

namespace {

// One value of a key: parts separated by ':' ("fire:2", "90:\"Knight\"").
struct Atom {
  std::string_view text;
  bool quoted = false;
};
using Value = std::vector<Atom>;          // the ':' parts
struct Field {
  std::string_view key;
  std::vector<Value> values;              // the ',' items
  int line = 0;
};
struct Record {
  int line = 0;
  long row = -1;                          // -1: the row after the previous one
  std::string_view name;
  std::vector<Field> fields;
};

struct LoadError {};

struct Loader {
  char* err = nullptr;
  size_t errlen = 0;
  const char* file = "";
  int line = 0;

  [[noreturn]] void fail(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char text[600];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (line > 0)
      snprintf(err, errlen, "%s:%d: %s", file, line, text);
    else
      snprintf(err, errlen, "%s: %s", file, text);
    throw LoadError{};
  }
};

// A reference by name that is resolved once every table is read.
struct Ref {
  char table;                // 'u' unit, 'w' weapon, 'a' armor, 'i' item, 's' site, 'p' spell
  std::string name;
  int16_t* d16;
  int32_t* d32;
  const char* file;
  int line;
};

bool isblank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Calls fn for every line of the text (without its line break), keeping the
// loader's line number current for messages.
template <typename Fn>
void eachline(Loader& ld, std::string_view text, Fn fn) {
  size_t pos = 0;
  int lineno = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view l = text.substr(pos, end - pos);
    pos = end + 1;
    ld.line = ++lineno;
    fn(l, lineno);
  }
}

// Splits a file into records: a line that begins in the first column starts
// a record (a row number or a quoted name, then fields); an indented line
// continues it. '#' in the first non-blank column makes a comment line.
std::vector<Record> splitrecords(Loader& ld, std::string_view text) {
  std::vector<Record> records;
  eachline(ld, text, [&](std::string_view l, int lineno) {
    size_t i = 0;
    while (i < l.size() && isblank(l[i])) i++;
    if (i == l.size() || l[i] == '#') return;
    bool continuation = i > 0;
    if (!continuation) {
      records.push_back(Record{});
      records.back().line = lineno;
    } else if (records.empty()) {
      ld.fail("indented line before the first row");
    }
    Record& r = records.back();
    // the quoted text that starts at i; i moves past it
    auto quoted = [&](size_t& i) {
      size_t q = l.find('"', i + 1);
      if (q == std::string_view::npos) ld.fail("unterminated name");
      std::string_view t = l.substr(i + 1, q - i - 1);
      i = q + 1;
      return t;
    };
    bool head = !continuation;
    while (i < l.size()) {
      while (i < l.size() && isblank(l[i])) i++;
      if (i >= l.size()) break;
      if (head) {
        head = false;
        if (l[i] == '"') {
          r.name = quoted(i);
          continue;
        }
        size_t s = i;
        while (i < l.size() && !isblank(l[i])) i++;
        std::string_view num = l.substr(s, i - s);
        long v = 0;
        auto res = std::from_chars(num.data(), num.data() + num.size(), v);
        if (res.ec != std::errc() || res.ptr != num.data() + num.size() || v < 0)
          ld.fail("row number expected, found '%.*s'", (int)num.size(), num.data());
        r.row = v;
        while (i < l.size() && isblank(l[i])) i++;
        if (i < l.size() && l[i] == '"') r.name = quoted(i);
        continue;
      }
      // key=value[,value...]; a value is parts joined by ':'
      size_t s = i;
      while (i < l.size() && l[i] != '=' && !isblank(l[i])) i++;
      if (i >= l.size() || l[i] != '=') ld.fail("'key=value' expected, found '%.*s'", (int)(i - s), l.data() + s);
      Field f;
      f.key = l.substr(s, i - s);
      f.line = lineno;
      i++;
      f.values.emplace_back();
      for (;;) {
        Atom a;
        if (i < l.size() && l[i] == '"') {
          size_t q = l.find('"', i + 1);
          if (q == std::string_view::npos) ld.fail("unterminated text in '%.*s'", (int)f.key.size(), f.key.data());
          a.text = l.substr(i + 1, q - i - 1);
          a.quoted = true;
          i = q + 1;
        } else {
          size_t t = i;
          while (i < l.size() && !isblank(l[i]) && l[i] != ',' && l[i] != ':') i++;
          a.text = l.substr(t, i - t);
        }
        f.values.back().push_back(a);
        if (i < l.size() && l[i] == ':') { i++; continue; }
        if (i < l.size() && l[i] == ',') { i++; f.values.emplace_back(); continue; }
        break;
      }
      if (i < l.size() && !isblank(l[i])) ld.fail("unexpected '%c' after '%.*s'", l[i], (int)f.key.size(), f.key.data());
      r.fields.push_back(std::move(f));
    }
  });
  return records;
}

// Field access with the range checks the file format promises.
struct Ctx {
  Loader& ld;
  std::vector<Ref>& refs;
  const Field* f = nullptr;

  [[noreturn]] void bad(const char* what) {
    ld.line = f->line;
    ld.fail("%s in '%.*s'", what, (int)f->key.size(), f->key.data());
  }
  int64_t num(const Atom& a) {
    if (a.quoted) bad("number expected");
    std::string_view t = a.text;
    bool neg = !t.empty() && t[0] == '-';
    if (neg) t.remove_prefix(1);
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) { t.remove_prefix(2); base = 16; }
    uint64_t v = 0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), v, base);
    if (t.empty() || res.ec != std::errc() || res.ptr != t.data() + t.size() || v > 0xffffffffull)
      bad("bad number");
    return neg ? -(int64_t)v : (int64_t)v;
  }
  template <typename T>
  void put(T& dst, int64_t v) {
    if (v < (int64_t)std::numeric_limits<T>::min() || v > (int64_t)std::numeric_limits<T>::max()) {
      ld.line = f->line;
      ld.fail("value %lld too large for '%.*s'", (long long)v, (int)f->key.size(), f->key.data());
    }
    dst = (T)v;
  }
  // The single value of the field.
  const Atom& one() {
    if (f->values.size() != 1 || f->values[0].size() != 1) bad("one value expected");
    return f->values[0][0];
  }
  template <typename T>
  void scalar(T& dst) { put(dst, num(one())); }
  void text(char* dst, size_t size) {
    const Atom& a = one();
    if (a.text.size() >= size) {
      ld.line = f->line;
      ld.fail("text longer than %d characters in '%.*s'", (int)size - 1, (int)f->key.size(), f->key.data());
    }
    memcpy(dst, a.text.data(), a.text.size());
    dst[a.text.size()] = 0;
  }
  // A row number, or a quoted name resolved later in the given table.
  template <typename T>
  void ref(T& dst, const Atom& a, char table) {
    if (!a.quoted) { put(dst, num(a)); return; }
    Ref r{table, std::string(a.text), nullptr, nullptr, ld.file, f->line};
    if constexpr (sizeof(T) == 2) r.d16 = reinterpret_cast<int16_t*>(&dst);
    else r.d32 = reinterpret_cast<int32_t*>(&dst);
    refs.push_back(std::move(r));
  }
  int32_t word(const Atom& a, std::initializer_list<const char*> words, int first = 0) {
    int k = first;
    for (const char* w : words) {
      if (a.text.size() == strlen(w) && strncasecmp(a.text.data(), w, a.text.size()) == 0) return k;
      k++;
    }
    return (int32_t)num(a);
  }
  int32_t path(const Atom& a) {
    int32_t p = word(a, {"fire", "air", "water", "earth", "astral", "death", "nature", "blood", "priest"});
    if (p < -1 || p > 8) bad("bad path");
    return p;
  }
};

void setname(Loader& ld, char* dst, size_t size, std::string_view name, int line) {
  if (name.size() >= size) {
    ld.line = line;
    ld.fail("name \"%.*s\" longer than %d characters", (int)name.size(), name.data(), (int)size - 1);
  }
  memcpy(dst, name.data(), name.size());
  dst[name.size()] = 0;
}

bool keyis(const Field& f, const char* k) { return f.key == k; }

// Row numbering shared by every table: explicit numbers, or the row after
// the previous record; duplicates and rows past the table are refused.
struct Rows {
  std::vector<char> seen;
  long last = -1;
  long limit;
  explicit Rows(long lim) : seen(lim, 0), limit(lim) {}
  int take(Loader& ld, const Record& r) {
    long row = r.row >= 0 ? r.row : last + 1;
    ld.line = r.line;
    if (row >= limit) ld.fail("row %ld past the table's last row %ld", row, limit - 1);
    if (seen[row]) ld.fail("row %ld defined twice", row);
    seen[row] = 1;
    last = row;
    return (int)row;
  }
};

using Flag = FlagName;
const Flag unitflags[] = {
    {"heal", MF_HEAL, 1}, {"mounted", MF_MOUNTED, 1}, {"animal", MF_ANIMAL, 1},
    {"amphibian", MF_AMPHIBIAN, 1}, {"wastesurvival", MF_WASTESURVIVAL, 1}, {"undead", MF_UNDEAD, 1},
    {"coldres", MF_COLDRES, 1}, {"neednoteat", MF_NEEDNOTEAT, 1}, {"fireres", MF_FIRERES, 1},
    {"poisonres", MF_POISONRES, 1}, {"aquatic", MF_AQUATIC, 1}, {"flying", MF_FLYING, 1},
    {"trample", MF_TRAMPLE, 1}, {"immobile", MF_IMMOBILE, 1}, {"immortal", MF_IMMORTAL, 1},
    {"forestsurvival", MF_FORESTSURVIVAL, 1}, {"shockres", MF_SHOCKRES, 1},
    {"swampsurvival", MF_SWAMPSURVIVAL, 1}, {"demon", MF_DEMON, 1}, {"holy", MF_HOLY, 1},
    {"mountainsurvival", MF_MOUNTAINSURVIVAL, 1}, {"illusion", MF_ILLUSION, 1}, {"noheal", MF_NOHEAL, 1},
    {"ethereal", MF_ETHEREAL, 1}, {"pooramphibian", MF_POORAMPHIBIAN, 1}, {"stealthy", MF_STEALTHY, 1},
    {"noitem", MF_NOITEM, 1}, {"coldblood", MF_COLDBLOOD, 1}, {"inanimate", MF_INANIMATE, 1},
    {"female", MF_FEMALE, 1},
    {"magicbeing", MF2_MAGICBEING, 2}, {"poormagicleader", MF2_POORMAGICLEADER, 2},
    {"okmagicleader", MF2_OKMAGICLEADER, 2}, {"goodmagicleader", MF2_GOODMAGICLEADER, 2},
    {"expertmagicleader", MF2_EXPERTMAGICLEADER, 2}, {"superiormagicleader", MF2_SUPERIORMAGICLEADER, 2},
    {"poorundeadleader", MF2_POORUNDEADLEADER, 2}, {"okundeadleader", MF2_OKUNDEADLEADER, 2},
    {"goodundeadleader", MF2_GOODUNDEADLEADER, 2}, {"expertundeadleader", MF2_EXPERTUNDEADLEADER, 2},
    {"superiorundeadleader", MF2_SUPERIORUNDEADLEADER, 2}, {"noleader", MF2_NOLEADER, 2},
    {"poorleader", MF2_POORLEADER, 2}, {"goodleader", MF2_GOODLEADER, 2},
    {"expertleader", MF2_EXPERTLEADER, 2}, {"superiorleader", MF2_SUPERIORLEADER, 2},
    {"okleader", 0, 2},   // the default class: no bit
};
const Flag weaponflags[] = {
    {"strength", WF_STRENGTH, 1}, {"twohanded", WF_TWOHANDED, 1}, {"flail", WF_FLAIL, 1},
    {"fire", WF_FIRE, 1}, {"armorpiercing", WF_ARMORPIERCING, 1}, {"armornegating", WF_ARMORNEGATING, 1},
    {"cold", WF_COLD, 1}, {"shock", WF_SHOCK, 1}, {"mrnegates", WF_MRNEGATES, 1}, {"poison", WF_POISON, 1},
    {"mind", WF_MIND, 1}, {"mundane", WF_MUNDANE, 1}, {"mrnegateseasily", WF_MRNEGATESEASILY, 1},
    {"bonus", WF_BONUS, 1}, {"charge", WF_CHARGE, 1},
    // clearing words, as the mod keywords
    {"nostr", WF_STRENGTH, -1}, {"magic", WF_MUNDANE, -1},
};
const Flag siteplaces[] = {
    {"plain", SP_PLAIN, 1}, {"forest", SP_FOREST, 1}, {"mountain", SP_MOUNTAIN, 1}, {"waste", SP_WASTE, 1},
    {"sea", SP_SEA, 1}, {"coast", SP_COAST, 1}, {"swamp", SP_SWAMP, 1}, {"deepsea", SP_DEEPSEA, 1},
    {"cave", SP_CAVE, 1}, {"unique", SP_UNIQUE, 1},
};
const Flag spellflags[] = {
    {"armorpiercing", SF_ARMORPIERCING, 1}, {"armornegating", SF_ARMORNEGATING, 1},
    {"mrnegates", SF_MRNEGATES, 1}, {"underwater", SF_UNDERWATER, 1},
    {"mrnegateseasily", SF_MRNEGATESEASILY, 1}, {"onlyunderwater", SF_ONLYUNDERWATER, 1},
};

}  // namespace

std::span<const FlagName> unittypeflagnames() { return unitflags; }
std::span<const FlagName> weaponflagnames() { return weaponflags; }
std::span<const FlagName> spellflagnames() { return spellflags; }
std::span<const FlagName> siteplacenames() { return siteplaces; }

namespace {

template <size_t N>
void applyflags(Ctx& c, const Flag (&table)[N], uint32_t& w1, uint32_t* w2) {
  for (const Value& v : c.f->values) {
    if (v.size() != 1) c.bad("flag name expected");
    const Atom& a = v[0];
    if (!a.quoted && !a.text.empty() && (a.text[0] == '0' || a.text[0] == '-')) {  // raw bits
      int64_t bits = c.num(a);
      if (bits < 0 || bits > 0xffffffffll) c.bad("bad flag bits");
      w1 |= (uint32_t)bits;
      continue;
    }
    bool found = false;
    for (const Flag& fl : table) {
      if (a.text.size() == strlen(fl.name) && strncasecmp(a.text.data(), fl.name, a.text.size()) == 0) {
        if (fl.word == 1) w1 |= fl.bit;
        else if (fl.word == 2 && w2) *w2 |= fl.bit;
        else w1 &= ~fl.bit;
        found = true;
        break;
      }
    }
    if (!found) {
      c.ld.line = c.f->line;
      c.ld.fail("unknown flag '%.*s'", (int)a.text.size(), a.text.data());
    }
  }
}

// (id:value) pairs into parallel arrays.
template <typename K, typename V>
void applypairs(Ctx& c, K* keys, V* vals, int cap, char reftable = 0) {
  int n = 0;
  while (n < cap && keys[n] != 0) n++;
  for (const Value& v : c.f->values) {
    if (v.size() != 2) c.bad("'key:value' pairs expected");
    if (n >= cap) c.bad("too many pairs");
    int64_t k = c.num(v[0]);
    if (k == 0) c.bad("key 0");
    c.put(keys[n], k);
    if (v[1].quoted && reftable) c.ref(vals[n], v[1], reftable);
    else c.put(vals[n], c.num(v[1]));
    n++;
  }
}

template <typename T>
void applyreflist(Ctx& c, T* dst, int cap, char table) {
  if ((int)c.f->values.size() > cap) c.bad("too many entries");
  for (int i = 0; i < cap; i++) dst[i] = 0;
  // a list given anew drops what a copied row still had to resolve in it
  std::erase_if(c.refs, [&](const Ref& r) {
    const void* p = r.d16 ? static_cast<const void*>(r.d16) : static_cast<const void*>(r.d32);
    return p >= static_cast<const void*>(dst) && p < static_cast<const void*>(dst + cap);
  });
  int i = 0;
  for (const Value& v : c.f->values) {
    if (v.size() != 1) c.bad("one entry per item expected");
    c.ref(dst[i++], v[0], table);
  }
}

[[noreturn]] void unknownkey(Ctx& c) {
  c.ld.line = c.f->line;
  c.ld.fail("unknown key '%.*s'", (int)c.f->key.size(), c.f->key.data());
}

// Reads every record of a table file: takes its row number (explicit, or
// the row after the previous one), refuses duplicates, rows past the limit
// and, for lists, gaps; then hands the row to the table's reader.
template <typename RowFn>
Rows eachrow(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs, long limit, bool contiguous, RowFn fn) {
  Rows rows(limit);
  for (const Record& r : recs) {
    int n = rows.take(ld, r);
    if (contiguous && n > 0 && !rows.seen[n - 1]) { ld.line = r.line; ld.fail("rows must be contiguous"); }
    Ctx c{ld, refs};
    fn(c, r, n);
  }
  return rows;
}

int typemagicused = 0;
int randmagicused = 0;
std::vector<char> unitdefined;
std::vector<char> weaponalways;   // rows whose secondary effect strikes always

// ------------------------------------------------------------------ units
void loadunits(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  unitdefined.assign(MAXUNITTYPES, 0);
  eachrow(ld, refs, recs, BUILTIN_UNITTYPES, false, [&](Ctx& c, const Record& r, int m) {
    Monster& u = unittypes[m];
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "like")) {
        int64_t from = c.num(c.one());
        if (from < 0 || from >= MAXUNITTYPES || !unitdefined[from]) c.bad("'like' needs a row defined before");
        u = unittypes[from];
        // Names in the copied row are resolved after every file is read:
        // the copy takes over its pending references too.
        const char* src = reinterpret_cast<const char*>(&unittypes[from]);
        char* dst = reinterpret_cast<char*>(&u);
        for (size_t k = 0, n = refs.size(); k < n; k++) {
          Ref r = refs[k];
          char* p = r.d16 ? reinterpret_cast<char*>(r.d16) : reinterpret_cast<char*>(r.d32);
          if (p < src || p >= src + sizeof(Monster)) continue;
          if (r.d16) r.d16 = reinterpret_cast<int16_t*>(dst + (p - src));
          else r.d32 = reinterpret_cast<int32_t*>(dst + (p - src));
          refs.push_back(std::move(r));
        }
      }
    }
    setname(ld, u.name, UNITNAMELEN, r.name, r.line);
    if (r.name.empty()) { ld.line = r.line; ld.fail("unit type %d without a name", m); }
    unitdefined[m] = 1;
    bool spriteset = false;
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "like")) continue;
      else if (keyis(f, "nametype")) c.scalar(u.nametype);
      else if (keyis(f, "sprite")) { c.scalar(u.sprite); spriteset = true; if (u.sprite == UNITTYPE_ENDSPRITE) c.bad("end marker"); }
      else if (keyis(f, "ap")) c.scalar(u.ap);
      else if (keyis(f, "move")) c.scalar(u.mapmove);
      else if (keyis(f, "size")) c.scalar(u.size);
      else if (keyis(f, "hp")) c.scalar(u.hp);
      else if (keyis(f, "prot")) c.scalar(u.prot);
      else if (keyis(f, "str")) c.scalar(u.str);
      else if (keyis(f, "enc")) c.scalar(u.enc);
      else if (keyis(f, "prec")) c.scalar(u.prec);
      else if (keyis(f, "att")) c.scalar(u.att);
      else if (keyis(f, "def")) c.scalar(u.def);
      else if (keyis(f, "mr")) c.scalar(u.mr);
      else if (keyis(f, "mor")) c.scalar(u.mor);
      else if (keyis(f, "gcost")) c.scalar(u.gcost);
      else if (keyis(f, "rcost")) c.scalar(u.rcost);
      else if (keyis(f, "weapons")) applyreflist(c, u.weapon, UNITWEAPONS, 'w');
      else if (keyis(f, "armors")) applyreflist(c, u.armor, UNITARMORS, 'a');
      else if (keyis(f, "flags")) applyflags(c, unitflags, u.flags, &u.flags2);
      else if (keyis(f, "noflags")) { u.flags = 0; u.flags2 = 0; }
      else if (keyis(f, "ab")) applypairs(c, u.abilityid, u.abilityval, UNITABILITIES);
      else if (keyis(f, "noab")) { for (auto& a : u.abilityid) a = 0; for (auto& a : u.abilityval) a = 0; }
      else if (keyis(f, "magic") || keyis(f, "randmagic")) {
        bool random = keyis(f, "randmagic");
        for (const Value& v : f.values) {
          if (v.size() != 2) c.bad("'path:level' pairs expected");
          if (random) {
            if (randmagicused >= MAXRANDMAGIC - 1) c.bad("random-magic table full");
            RandMagic& rm = randmagic[randmagicused++];
            rm.type = (int16_t)m;
            c.put(rm.code, c.word(v[0], {"any", "elemental", "sorcery"}, 50));
            c.put(rm.chance, c.num(v[1]));
          } else {
            if (typemagicused >= MAXTYPEMAGIC - 1) c.bad("type-magic table full");
            TypeMagic& tm = typemagic[typemagicused++];
            tm.type = (int16_t)m;
            Atom p = v[0];
            int64_t path = p.quoted ? -1 : c.word(p, {"fire", "air", "water", "earth", "astral", "death", "nature", "blood", "priest"});
            if (path < 0 || (path > 8 && path < 128)) c.bad("bad path");
            c.put(tm.path, path);
            c.put(tm.level, c.num(v[1]));
          }
        }
      } else unknownkey(c);
    }
    if (!spriteset) u.sprite = (uint16_t)m;
    // Undead and demons count against undead leadership.
    if (u.flags & (MF_UNDEAD | MF_DEMON)) u.flags2 |= MF2_UNDEADCLASS;
  });
}

// ---------------------------------------------------------------- weapons
int32_t damagetype(Ctx& c) {
  struct DT { const char* name; int16_t code; };
  static const DT types[] = {{"normal", DT_NORMAL}, {"stun", DT_STUN}, {"poison", DT_POISON}, {"holy", DT_HOLY},
                             {"large", DT_LARGE}, {"small", DT_SMALL}, {"paralyze", DT_PARALYZE}, {"magic", DT_MAGIC},
                             {"raise", DT_RAISE}, {"constructonly", DT_CONSTRUCTONLY}, {"demononly", DT_DEMONONLY},
                             {"demon", DT_DEMON}, {"cap", DT_CAP}};
  const Atom& a = c.one();
  for (const DT& t : types)
    if (a.text.size() == strlen(t.name) && strncasecmp(a.text.data(), t.name, a.text.size()) == 0) return t.code;
  return (int32_t)c.num(a);
}

void loadweapons(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  weaponalways.assign(MAXWEAPONS, 0);
  Rows rows = eachrow(ld, refs, recs, BUILTIN_WEAPONS, false, [&](Ctx& c, const Record& r, int n) {
    Weapon& w = weapons[n];
    w = Weapon{};
    setname(ld, w.name, NAMELEN, r.name, r.line);
    w.dmgtype = DT_NORMAL;
    w.flags = WF_STRENGTH | WF_MUNDANE;
    w.nratt = 1;
    w.flyspr[0] = w.flyspr[1] = w.explspr[0] = w.explspr[1] = -1;
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "dmg")) { c.scalar(w.dmg); if (w.dmg < -998 || w.dmg > 999) c.bad("damage outside -998..999"); }
      else if (keyis(f, "att")) c.scalar(w.att);
      else if (keyis(f, "def")) c.scalar(w.def);
      else if (keyis(f, "type")) c.put(w.dmgtype, damagetype(c));
      else if (keyis(f, "len")) c.scalar(w.len);
      else if (keyis(f, "range")) c.scalar(w.range);
      else if (keyis(f, "nratt")) c.scalar(w.nratt);
      else if (keyis(f, "ammo")) c.scalar(w.ammo);
      else if (keyis(f, "flags")) applyflags(c, weaponflags, w.flags, nullptr);
      else if (keyis(f, "secondary")) c.ref(w.secondaryeffect, c.one(), 'w');
      else if (keyis(f, "secondaryalways")) { c.ref(w.secondaryeffect, c.one(), 'w'); weaponalways[n] = 1; }
      else if (keyis(f, "ab")) applypairs(c, w.abilityid, w.abilityval, WEAPONABILITIES);
      else if (keyis(f, "flyspr")) { if (f.values.size() != 2) c.bad("two values expected"); c.put(w.flyspr[0], c.num(f.values[0][0])); c.put(w.flyspr[1], c.num(f.values[1][0])); }
      else if (keyis(f, "explspr")) { c.scalar(w.explspr[0]); w.explspr[1] = 5; }
      else if (keyis(f, "aoe")) c.scalar(w.aoe);
      else if (keyis(f, "sound")) c.scalar(w.sound);
      else if (keyis(f, "rcost")) c.scalar(w.rcost);
      else if (keyis(f, "display")) c.scalar(w.display);
      else unknownkey(c);
    }
  });
}

// ----------------------------------------------------------------- armors
void loadarmors(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  Rows rows = eachrow(ld, refs, recs, BUILTIN_ARMORS, false, [&](Ctx& c, const Record& r, int n) {
    Armor& a = armors[n];
    a = Armor{};
    setname(ld, a.name, NAMELEN, r.name, r.line);
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "prot")) {
        int k = 0;
        for (const Value& v : f.values) {
          if (v.size() != 2) c.bad("'location:protection' pairs expected");
          if (k >= ARMORPAIRS) c.bad("more than six locations");
          int32_t loc = c.word(v[0], {"head", "body", "arms", "legs", "shield", "all"}, 1);
          if (loc < 1 || loc > 6) c.bad("bad location");
          a.prot[k].loc = (int16_t)loc;
          c.put(a.prot[k].prot, c.num(v[1]));
          k++;
        }
      } else if (keyis(f, "def")) { c.scalar(a.def); if (a.def == ARMOR_ENDDEF) c.bad("end marker"); }
      else if (keyis(f, "enc")) c.scalar(a.enc);
      else if (keyis(f, "type")) {
        int32_t t = c.word(c.one(), {"shield", "body", "helmet", "", "other"}, 4);
        if (t != 4 && t != 5 && t != 6 && t != 8) c.bad("armor type must be shield, body, helmet or other");
        a.type = (int16_t)t;
      } else if (keyis(f, "rcost")) c.scalar(a.rcost);
      else if (keyis(f, "display")) c.scalar(a.display[0]);
      else unknownkey(c);
    }
    if (a.type == 0) { ld.line = r.line; ld.fail("armor \"%s\" without a type", a.name); }
  });
}

// ------------------------------------------------------------------ items
void loaditems(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  Rows rows = eachrow(ld, refs, recs, BUILTIN_ITEMS, false, [&](Ctx& c, const Record& r, int n) {
    Item& it = items[n];
    it = Item{};
    setname(ld, it.name, NAMELEN, r.name, r.line);
    it.mainpath = it.secondpath = -1;
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "level")) { c.scalar(it.constlevel); if (it.constlevel < 0 || it.constlevel > ITEM_SENTINELLEVEL) c.bad("level outside 0..98"); }
      else if (keyis(f, "path") || keyis(f, "path2")) {
        if (f.values.size() != 1 || f.values[0].size() != 2) c.bad("'path:level' expected");
        bool second = keyis(f, "path2");
        c.put(second ? it.secondpath : it.mainpath, c.path(f.values[0][0]));
        c.put(second ? it.secondlevel : it.mainlevel, c.num(f.values[0][1]));
      } else if (keyis(f, "type")) {
        int32_t t = c.word(c.one(), {"onehand", "twohand", "missile", "shield", "armor", "helmet", "boots", "misc"}, 1);
        if (t < 1 || t > 8) c.bad("bad item type");
        it.type = (int8_t)t;
      } else if (keyis(f, "picture")) c.scalar(it.picture);
      else if (keyis(f, "weapon")) c.ref(it.weapon, c.one(), 'w');
      else if (keyis(f, "armor")) c.ref(it.armor, c.one(), 'a');
      else if (keyis(f, "spell")) c.text(it.spell, ITEMSPELLLEN);
      else if (keyis(f, "cursed")) { int8_t v = 0; c.scalar(v); it.cursed = v ? -1 : 0; }
      else if (keyis(f, "ab")) applypairs(c, it.abilityid, it.abilityval, ITEMABILITIES);
      else if (keyis(f, "flags")) {
        if (f.values.size() != 3) c.bad("three flag words expected");
        for (int k = 0; k < 3; k++) { int64_t v = c.num(f.values[k][0]); if (v < 0) c.bad("bad flag word"); c.put(it.flags[k], v); }
      } else unknownkey(c);
    }
    if (n == 0) it.constlevel = ITEM_SENTINELLEVEL;
    else if (it.type == 0) { ld.line = r.line; ld.fail("item \"%s\" without a type", it.name); }
  });
}

// ------------------------------------------------------------------ sites
void loadsites(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  Rows rows = eachrow(ld, refs, recs, BUILTIN_SITES, false, [&](Ctx& c, const Record& r, int n) {
    Site& s = sites[n];
    s = Site{};
    setname(ld, s.name, NAMELEN, r.name, r.line);
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "path")) c.put(s.path, c.path(c.one()));
      else if (keyis(f, "level")) c.scalar(s.level);
      else if (keyis(f, "rarity")) c.scalar(s.rarity);
      else if (keyis(f, "effects")) {
        int k = 0;
        for (const Value& v : f.values) {
          if (v.size() != 2) c.bad("'kind:amount' pairs expected");
          if (k >= SITEEFFECTS) c.bad("more than five effects");
          c.put(s.effectkind[k], c.num(v[0]));
          if (s.effectkind[k] == 0) c.bad("effect kind 0");
          if (v[1].quoted) c.ref(s.effectval[k], v[1], 'u');
          else c.put(s.effectval[k], c.num(v[1]));
          k++;
        }
      } else if (keyis(f, "place")) applyflags(c, siteplaces, s.placement, nullptr);
      else unknownkey(c);
    }
    if (s.path < 0 || s.path > 8) { ld.line = r.line; ld.fail("site \"%s\" needs a path 0..8", s.name); }
  });
}

// ---------------------------------------------------------------- nations
void loadnations(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  Rows rows = eachrow(ld, refs, recs, BUILTIN_NATIONS, false, [&](Ctx& c, const Record& r, int n) {
    Nation& na = nations[n];
    na = Nation{};
    setname(ld, na.name, NAMELEN, r.name, r.line);
    int rec = 0;
    bool hasera = false;
    auto recruitlist = [&](bool commanders) {
      if (commanders) {
        if (rec >= RECRUITLEN - 1) c.bad("recruit list too long");
        na.recruit[rec++] = RECRUIT_COMMANDERS;
      }
      for (const Value& v : c.f->values) {
        if (v.size() != 1) c.bad("one unit type per item expected");
        if (rec >= RECRUITLEN - 1) c.bad("recruit list too long");
        c.ref(na.recruit[rec++], v[0], 'u');
      }
    };
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "epithet")) c.text(na.epithet, NAMELEN);
      else if (keyis(f, "short")) c.text(na.shortname, SHORTNAMELEN);
      else if (keyis(f, "file")) c.text(na.fileword, FILEWORDLEN);
      else if (keyis(f, "marker")) { c.scalar(na.endmarker); if (na.endmarker != 0 && na.endmarker != 1) c.bad("marker must be 0 or 1"); }
      else if (keyis(f, "era")) { c.scalar(na.era); hasera = true; if (na.era < 0 || na.era > 3) c.bad("era outside 0..3"); }
      else if (keyis(f, "colour")) {
        if (f.values.size() != 3) c.bad("three colour values expected");
        for (int k = 0; k < 3; k++) {
          int64_t v = c.num(f.values[k][0]);
          if (v < 0 || v > 100) c.bad("colour values are percents 0..100");
          na.colour[k] = (float)v / 100.0f;
        }
      } else if (keyis(f, "attrs")) {
        int k = 0;
        while (k < NATIONATTRS && na.attrkey[k] != 0) k++;
        for (const Value& v : f.values) {
          if (v.size() != 2) c.bad("'key:value' pairs expected");
          if (k >= NATIONATTRS) c.bad("more than 60 attributes");
          int64_t key = c.num(v[0]);
          if (key <= 0) c.bad("attribute key must be 1 or more");
          c.put(na.attrkey[k], key);
          if (v[1].quoted) c.ref(na.attrval[k], v[1], (key == NA_STARTSITE || key == NA_STARTSITEBASE) ? 's' : 'u');
          else c.put(na.attrval[k], c.num(v[1]));
          k++;
        }
      } else if (keyis(f, "units")) recruitlist(false);
      else if (keyis(f, "commanders")) recruitlist(true);
      else if (keyis(f, "gods")) applyreflist(c, na.godform, MAXGODFORMS - 1, 'u');
      else unknownkey(c);
    }
    na.recruit[rec] = RECRUIT_END;
    for (int k = rec + 1; k < RECRUITLEN; k++) na.recruit[k] = RECRUIT_END;
    if (!hasera || na.fileword[0] == 0) { ld.line = r.line; ld.fail("nation \"%s\" needs era and file", na.name); }
  });
  for (int n = 0; n < BUILTIN_NATIONS; n++)
    if (!rows.seen[n]) { ld.line = 0; ld.fail("required nation row %d missing", n); }
}

// ----------------------------------------------------------------- spells
void loadspells(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  Rows rows = eachrow(ld, refs, recs, MAXSPELLS - 1, true, [&](Ctx& c, const Record& r, int n) {
    Spell& s = spells[n];
    s = Spell{};
    setname(ld, s.name, NAMELEN, r.name, r.line);
    s.path[0] = s.path[1] = -1;
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "school")) {
        int32_t v = c.word(c.one(), {"conjuration", "alteration", "evocation", "construction", "enchantment", "thaumaturgy", "blood", "divine"});
        if (v < 0 || v > 7) c.bad("bad school");
        s.school = (int8_t)v;
      } else if (keyis(f, "level")) { c.scalar(s.researchlevel); if (s.researchlevel == SPELL_ENDLEVEL) c.bad("end marker"); }
      else if (keyis(f, "path") || keyis(f, "path2")) {
        if (f.values.size() != 1 || f.values[0].size() != 2) c.bad("'path:level' expected");
        int k = keyis(f, "path2") ? 1 : 0;
        c.put(s.path[k], c.path(f.values[0][0]));
        c.put(s.pathlevel[k], c.num(f.values[0][1]));
      } else if (keyis(f, "fatigue")) c.scalar(s.fatigue);
      else if (keyis(f, "area")) c.scalar(s.area);
      else if (keyis(f, "effect")) c.scalar(s.effect);
      else if (keyis(f, "range")) c.scalar(s.range);
      else if (keyis(f, "prec")) c.scalar(s.precision);
      else if (keyis(f, "dmg")) c.scalar(s.damage);
      else if (keyis(f, "nbreff")) c.scalar(s.nbreff);
      else if (keyis(f, "flags")) applyflags(c, spellflags, s.flags, nullptr);
      else if (keyis(f, "attrs")) applypairs(c, s.attrkey, s.attrval, SPELLATTRS);
      else unknownkey(c);
    }
  });
  spells[rows.last + 1] = Spell{};
  strlcopy(spells[rows.last + 1].name, "end", NAMELEN);
  spells[rows.last + 1].researchlevel = SPELL_ENDLEVEL;
}

// ------------------------------------------------------------------ forts
void loadforts(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  Rows rows = eachrow(ld, refs, recs, MAXFORTS, false, [&](Ctx& c, const Record& r, int n) {
    Fort& ft = forts[n];
    ft = Fort{};
    setname(ld, ft.name, NAMELEN, r.name, r.line);
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "map")) c.text(ft.battlemap, NAMELEN);
      else if (keyis(f, "def")) { c.scalar(ft.val[FORT_DEF]); ft.val[FORT_DEFVALUE] = ft.val[FORT_DEF]; }
      else if (keyis(f, "admin")) c.scalar(ft.val[FORT_ADMIN]);
      else if (keyis(f, "supply")) c.scalar(ft.val[FORT_SUPPLY]);
      else if (keyis(f, "avail")) c.scalar(ft.val[FORT_AVAIL]);
      else if (keyis(f, "cost")) c.scalar(ft.val[FORT_COSTFACTOR]);
      else if (keyis(f, "time")) c.scalar(ft.val[FORT_BUILDTIME]);
      else if (keyis(f, "storage")) c.scalar(ft.val[FORT_STORAGE]);
      else if (keyis(f, "flags")) c.scalar(ft.flags);
      else if (keyis(f, "sprite")) c.scalar(ft.sprite);
      else unknownkey(c);
    }
  });
}

// ---------------------------------------------------- mercenary templates
void loadmercs(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  Rows rows = eachrow(ld, refs, recs, MAXMERCTEMPLATES - 1, true, [&](Ctx& c, const Record& r, int n) {
    MercTemplate& t = merctemplates[n];
    t = MercTemplate{};
    setname(ld, t.bandname, MERCNAMELEN, r.name, r.line);
    t.favnation = -1;
    t.favpercent = 100;
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "eras")) {
        t.eras = 0;
        for (const Value& v : f.values) {
          if (v.size() != 1) c.bad("era names expected");
          int32_t e = c.word(v[0], {"early", "middle", "late"}, 1);
          if (e < 1 || e > 3) c.bad("bad era");
          t.eras |= (uint8_t)(1 << (e - 1));
        }
      } else if (keyis(f, "tier")) { c.scalar(t.tier); if (t.tier < 0 || t.tier > 2) c.bad("tier outside 0..2"); }
      else if (keyis(f, "leader")) c.text(t.leadername, NAMELEN);
      else if (keyis(f, "com")) c.ref(t.comtype, c.one(), 'u');
      else if (keyis(f, "unit")) c.ref(t.unittype, c.one(), 'u');
      else if (keyis(f, "count")) c.scalar(t.count);
      else if (keyis(f, "reserve")) c.scalar(t.reserve);
      else if (keyis(f, "price")) c.scalar(t.price);
      else if (keyis(f, "xp")) c.scalar(t.xp);
      else if (keyis(f, "fav")) {
        if (f.values.size() != 1 || f.values[0].size() != 2) c.bad("'nation:percent' expected");
        c.put(t.favnation, c.num(f.values[0][0]));
        c.put(t.favpercent, c.num(f.values[0][1]));
        if (t.favnation < 0 || t.favnation >= MAXNATIONS) c.bad("bad nation");
      } else if (keyis(f, "equip")) c.scalar(t.equiplevel);
      else if (keyis(f, "items")) {
        if (f.values.size() > MERCITEMS) c.bad("more than four items");
        int k = 0;
        for (const Value& v : f.values) {
          if (v.size() != 1 || !v[0].quoted) c.bad("quoted item names expected");
          if (v[0].text.size() >= NAMELEN) c.bad("item name too long");
          memcpy(t.items[k], v[0].text.data(), v[0].text.size());
          t.items[k][v[0].text.size()] = 0;
          k++;
        }
      } else unknownkey(c);
    }
    if (t.eras == 0 || (t.comtype == 0 && t.unittype == 0)) { ld.line = r.line; ld.fail("template needs eras and a leader"); }
  });
  merctemplates[rows.last + 1] = MercTemplate{};
  merctemplates[rows.last + 1].tier = MERC_ENDTIER;
}

// --------------------------------------------------------------- epithets
void loadepithets(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  Rows rows = eachrow(ld, refs, recs, MAXEPITHETS - 1, true, [&](Ctx& c, const Record& r, int n) {
    Epithet& e = epithets[n];
    e = Epithet{};
    setname(ld, e.text, EPITHETLEN, r.name, r.line);
    if (strcasecmp(e.text, "end") == 0 || e.text[0] == 0) { ld.line = r.line; ld.fail("empty epithet or 'end' in the list"); }
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "req")) {
        int k = 0;
        for (const Value& v : f.values) {
          if (v.size() != 2) c.bad("'code:value' pairs expected");
          if (k >= EPITHETREQS) c.bad("more than five requirements");
          c.put(e.reqkind[k], c.num(v[0]));
          c.put(e.reqval[k], c.num(v[1]));
          k++;
        }
      } else unknownkey(c);
    }
  });
  epithets[rows.last + 1] = Epithet{};
  strlcopy(epithets[rows.last + 1].text, "end", EPITHETLEN);
}

// ---------------------------------------------------------- random events
// Every row 0..MAXRANDEVENTS-1 is required: the table is the game's whole set.
void loadevents(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  Rows rows = eachrow(ld, refs, recs, MAXRANDEVENTS, false, [&](Ctx& c, const Record& r, int n) {
    Event& e = randevents[n];
    e = Event{};
    setname(ld, e.text, EVENTTEXTLEN, r.name, r.line);
    for (const Field& f : r.fields) {
      c.f = &f;
      if (keyis(f, "rarity")) {
        c.scalar(e.rarity);
        if (e.rarity < 1 || e.rarity > 4) c.bad("rarity 1..4 expected");
      } else if (keyis(f, "req") || keyis(f, "effect")) {
        const bool req = keyis(f, "req");
        const int cap = req ? EVENTREQS : EVENTEFFECTS;
        const int count = req ? int(EVR_COUNT) : int(EVE_COUNT);
        const char* const* words = req ? eventreqnames : eventeffectnames;
        int k = 0;
        for (const Value& v : f.values) {
          if (v.size() < 1 || v.size() > 2) c.bad("'code' or 'code:value' expected");
          if (k >= cap) c.bad(req ? "more than five requirements" : "more than six effects");
          int code = 0;
          while (code < count && !(v[0].text.size() == strlen(words[code]) &&
                                   strncasecmp(v[0].text.data(), words[code], v[0].text.size()) == 0))
            code++;
          if (code == 0 || code >= count) c.bad(req ? "unknown requirement" : "unknown effect");
          if (req) {
            e.req[k] = int16_t(code);
            if (v.size() == 2) c.put(e.reqval[k], c.num(v[1]));
          } else {
            e.effect[k] = int16_t(code);
            if (v.size() == 2 && v[1].quoted) c.ref(e.effectval[k], v[1], 'u');
            else if (v.size() == 2) c.put(e.effectval[k], c.num(v[1]));
          }
          k++;
        }
      } else {
        unknownkey(c);
      }
    }
    if (e.rarity == 0) { ld.line = r.line; ld.fail("event %d needs a rarity", n); }
  });
  for (int n = 0; n < MAXRANDEVENTS; n++)
    if (!rows.seen[n]) { ld.line = 0; ld.fail("event row %d missing", n); }
}

// ---------------------------------------------- population recruit lists
void loadpoptypes(Loader& ld, std::vector<Ref>& refs, const std::vector<Record>& recs) {
  Rows rows = eachrow(ld, refs, recs, MAXPOPTYPES, false, [&](Ctx& c, const Record& r, int n) {
    auto& list = poprecruit[n];
    int rec = 0;
    for (const Field& f : r.fields) {
      c.f = &f;
      if (!keyis(f, "units") && !keyis(f, "commanders")) unknownkey(c);
      if (keyis(f, "commanders")) {
        if (rec >= RECRUITLEN - 1) c.bad("recruit list too long");
        list[rec++] = RECRUIT_COMMANDERS;
      }
      for (const Value& v : f.values) {
        if (v.size() != 1) c.bad("one unit type per item expected");
        if (rec >= RECRUITLEN - 1) c.bad("recruit list too long");
        c.ref(list[rec++], v[0], 'u');
      }
    }
    for (int k = rec; k < RECRUITLEN; k++) list[k] = RECRUIT_END;
  });
}

// ------------------------------------------ section files: one entry a line
// "@section" lines open a list; every other line is one entry.
template <typename OnSection, typename OnEntry>
void readsections(Loader& ld, std::string_view text, OnSection onsection, OnEntry onentry) {
  bool open = false;
  eachline(ld, text, [&](std::string_view l, int) {
    while (!l.empty() && isblank(l.back())) l.remove_suffix(1);
    while (!l.empty() && isblank(l.front())) l.remove_prefix(1);
    if (l.empty() || l[0] == '#') return;
    if (l[0] == '@') { onsection(l.substr(1)); open = true; return; }
    if (!open) ld.fail("entry before the first '@' section");
    onentry(l);
  });
}

void loadprovnames(Loader& ld, std::string_view text) {
  static const char* const lists[NBRPROVNAMELISTS] = {"plain", "farm", "swamp", "forest", "mountain", "cave", "sea", "deepsea"};
  int cur = -1;
  std::vector<char> seen(NBRPROVNAMELISTS, 0);
  readsections(ld, text,
      [&](std::string_view s) {
        cur = -1;
        for (int k = 0; k < NBRPROVNAMELISTS; k++)
          if (s == lists[k]) cur = k;
        if (cur < 0) ld.fail("unknown name list '%.*s'", (int)s.size(), s.data());
        if (seen[cur]) ld.fail("name list '%.*s' given twice", (int)s.size(), s.data());
        seen[cur] = 1;
      },
      [&](std::string_view e) {
        ProvNameList& pl = provnames[cur];
        if (pl.count >= MAXPROVNAMES - 1) ld.fail("too many names");
        if (e == "end") ld.fail("'end' is added by the loader");
        setname(ld, pl.names[pl.count++], NAMELEN, e, ld.line);
      });
  ld.line = 0;
  for (int k = 0; k < NBRPROVNAMELISTS; k++) {
    if (!seen[k]) ld.fail("name list '%s' missing", lists[k]);
    strlcopy(provnames[k].names[provnames[k].count], "end", NAMELEN);
  }
}

void loadpersonalnames(Loader& ld, std::string_view text) {
  int cur = -1;
  readsections(ld, text,
      [&](std::string_view s) {
        long v = -1;
        size_t sp = s.find(' ');
        std::string_view num = s.substr(0, sp);
        auto res = std::from_chars(num.data(), num.data() + num.size(), v);
        if (res.ec != std::errc() || res.ptr != num.data() + num.size() || v < 1 || v >= MAXNAMETYPES)
          ld.fail("name type 1..%d expected", MAXNAMETYPES - 1);
        if (personalnames[v].count > 0) ld.fail("name type %ld given twice", v);
        cur = (int)v;
      },
      [&](std::string_view e) {
        // several names may share a line
        size_t i = 0;
        while (i < e.size()) {
          while (i < e.size() && isblank(e[i])) i++;
          size_t s = i;
          while (i < e.size() && !isblank(e[i])) i++;
          if (i == s) break;
          PersonalNameList& pl = personalnames[cur];
          if (pl.count >= MAXPERSONALNAMES) ld.fail("too many names in type %d", cur);
          setname(ld, pl.names[pl.count++], PERSONALNAMELEN, e.substr(s, i - s), ld.line);
        }
      });
}

// ":key" lines open a text; the lines after it, joined by newlines, are the text.
void loaddescriptions(Loader& ld, std::string_view text) {
  std::unordered_map<std::string, int> keys;
  size_t used = 0;
  auto add = [&](std::string_view s) {
    if (used + s.size() + 1 > (size_t)DESCRTEXTPOOL) ld.fail("description texts too large");
    memcpy(&descrtext[used], s.data(), s.size());
    used += s.size();
    descrtext[used] = 0;
  };
  nbrdescrs = 1;
  descrs[0] = Descr{};
  descrs[0].text = 0;
  add("no description available");
  used++;
  int32_t start = -1;
  eachline(ld, text, [&](std::string_view l, int lineno) {
    while (!l.empty() && isblank(l.back())) l.remove_suffix(1);
    if (!l.empty() && l[0] == ':') {
      if (start >= 0) used++;
      std::string_view key = l.substr(1);
      if (key.empty()) ld.fail("empty key");
      if (nbrdescrs >= MAXDESCRS) ld.fail("too many descriptions");
      std::string lower(key);
      for (char& ch : lower) ch = (char)tolower((unsigned char)ch);
      if (!keys.emplace(lower, nbrdescrs).second) ld.fail("key '%.*s' given twice", (int)key.size(), key.data());
      setname(ld, descrs[nbrdescrs].key, DESCRKEYLEN, key, lineno);
      start = (int32_t)used;
      descrs[nbrdescrs++].text = start;
      if (used < (size_t)DESCRTEXTPOOL) descrtext[used] = 0;
      return;
    }
    if (start < 0) {
      if (l.empty() || l[0] == '#') return;
      ld.fail("text before the first ':key' line");
    }
    if ((int32_t)used > start) add("\n");
    add(l);
    if ((int32_t)used - start > MAXDESCRLEN) ld.fail("description longer than %d characters", MAXDESCRLEN);
  });
  // trailing blank lines end a text; drop them
  for (int d = 1; d < nbrdescrs; d++) {
    char* t = &descrtext[descrs[d].text];
    size_t len = strlen(t);
    while (len > 0 && t[len - 1] == '\n') t[--len] = 0;
  }
}

// ----------------------------------------------------- reference resolving
struct NameIndex {
  std::unordered_map<std::string, int> first;
  template <typename Get>
  void build(int count, Get name) {
    first.clear();
    first.reserve(count * 2);
    for (int i = 0; i < count; i++) {
      const char* n = name(i);
      if (n[0] == 0) continue;
      std::string k(n);
      for (char& ch : k) ch = (char)tolower((unsigned char)ch);
      first.emplace(std::move(k), i);
    }
  }
  int find(const std::string& name) const {
    std::string k(name);
    for (char& ch : k) ch = (char)tolower((unsigned char)ch);
    auto it = first.find(k);
    return it == first.end() ? -1 : it->second;
  }
};

void resolve(Loader& ld, std::vector<Ref>& refs) {
  NameIndex units, weaponsidx, armorsidx, itemsidx, sitesidx, spellsidx;
  units.build(BUILTIN_UNITTYPES, [](int i) { return unittypes[i].name; });
  // strength-using rows first, as findweapon prefers them
  weaponsidx.build(BUILTIN_WEAPONS, [](int i) { return (weapons[i].flags & WF_STRENGTH) ? weapons[i].name : ""; });
  NameIndex weaponsany;
  weaponsany.build(BUILTIN_WEAPONS, [](int i) { return weapons[i].name; });
  armorsidx.build(BUILTIN_ARMORS, [](int i) { return armors[i].name; });
  itemsidx.build(BUILTIN_ITEMS, [](int i) { return i == 0 ? "" : items[i].name; });
  sitesidx.build(BUILTIN_SITES, [](int i) { return sites[i].name; });
  spellsidx.build(MAXSPELLS, [](int i) { return spells[i].name; });
  for (Ref& r : refs) {
    int v = -1;
    switch (r.table) {
      case 'u': v = units.find(r.name); break;
      case 'w': v = weaponsidx.find(r.name); if (v < 0) v = weaponsany.find(r.name); break;
      case 'a': v = armorsidx.find(r.name); break;
      case 'i': v = itemsidx.find(r.name); break;
      case 's': v = sitesidx.find(r.name); break;
      case 'p': v = spellsidx.find(r.name); break;
    }
    ld.file = r.file;
    ld.line = r.line;
    if (v < 0) ld.fail("no %s called \"%s\"",
                       r.table == 'u' ? "unit type" : r.table == 'w' ? "weapon" : r.table == 'a' ? "armor"
                       : r.table == 'i' ? "item" : r.table == 's' ? "site" : "spell", r.name.c_str());
    if (r.d16) {
      if (v > 32767) ld.fail("row %d of \"%s\" too large", v, r.name.c_str());
      // a negative secondary effect means "always": kept in the reserved marker
      *r.d16 = (int16_t)v;
    } else {
      *r.d32 = v;
    }
  }
}

// End rows, sentinels and inert fillers for rows the files leave out.
void finishtables() {
  for (int m = 0; m < MAXUNITTYPES; m++)
    if (m >= BUILTIN_UNITTYPES || !unitdefined[m]) {
      unittypes[m] = Monster{};
      unittypes[m].sprite = (uint16_t)(m < BUILTIN_UNITTYPES ? m : 0);
    }
  unittypes[BUILTIN_UNITTYPES].sprite = UNITTYPE_ENDSPRITE;
  strlcopy(unittypes[BUILTIN_UNITTYPES].name, "end", UNITNAMELEN);

  for (int w = 0; w < BUILTIN_WEAPONS; w++)
    if (weaponalways[w]) weapons[w].secondaryeffect = (int16_t)-weapons[w].secondaryeffect;   // "always": stored negative
  weapons[BUILTIN_WEAPONS] = Weapon{};
  strlcopy(weapons[BUILTIN_WEAPONS].name, "end", NAMELEN);
  weapons[BUILTIN_WEAPONS].dmg = WEAPON_ENDDMG;

  armors[BUILTIN_ARMORS] = Armor{};
  strlcopy(armors[BUILTIN_ARMORS].name, "end", NAMELEN);
  armors[BUILTIN_ARMORS].def = ARMOR_ENDDEF;

  for (int i = 1; i < BUILTIN_ITEMS; i++)
    if (items[i].name[0] == 0) {       // filler: never forgeable, never drawn
      items[i] = Item{};
      items[i].constlevel = 50;
      items[i].mainpath = items[i].secondpath = -1;
    }
  items[BUILTIN_ITEMS] = Item{};
  strlcopy(items[BUILTIN_ITEMS].name, "end", NAMELEN);
  items[BUILTIN_ITEMS].constlevel = ITEM_ENDLEVEL;
  items[BUILTIN_ITEMS].mainpath = items[BUILTIN_ITEMS].secondpath = -1;

  sites[BUILTIN_SITES] = Site{};
  strlcopy(sites[BUILTIN_SITES].name, "end", NAMELEN);
  sites[BUILTIN_SITES].path = SITE_ENDPATH;

  for (int n = BUILTIN_NATIONS; n < MAXNATIONS; n++) {
    nations[n] = Nation{};
    nations[n].endmarker = (int32_t)(uint16_t)NATION_FREEMARK;
    for (auto& e : nations[n].recruit) e = RECRUIT_END;
  }

  typemagic[typemagicused] = TypeMagic{-1, 0, 0};
  randmagic[randmagicused] = RandMagic{-1, 0, 0};
}

// Rows that the rules bind by number must hold the bound name.
void checkbound(Loader& ld) {
  ld.line = 0;
  for (const BoundRow& b : boundrows) {
    const char* have = nullptr;
    switch (b.table) {
      case 'u': have = b.row < BUILTIN_UNITTYPES && unitdefined[b.row] ? unittypes[b.row].name : nullptr; break;
      case 'w': have = b.row < BUILTIN_WEAPONS ? weapons[b.row].name : nullptr; break;
      case 'a': have = b.row < BUILTIN_ARMORS ? armors[b.row].name : nullptr; break;
      case 'i': have = b.row < BUILTIN_ITEMS ? items[b.row].name : nullptr; break;
      case 's': have = b.row < BUILTIN_SITES ? sites[b.row].name : nullptr; break;
      case 'n': have = b.row < BUILTIN_NATIONS ? nations[b.row].name : nullptr; break;
      case 'f': have = b.row < MAXFORTS ? forts[b.row].name : nullptr; break;
      case 'p': have = b.row < MAXSPELLS ? spells[b.row].name : nullptr; break;
    }
    ld.file = b.file;
    if (have == nullptr || have[0] == 0) ld.fail("required row %d \"%s\" missing", b.row, b.name);
    if (b.name[0] != 0 && strcasecmp(have, b.name) != 0)
      ld.fail("row %d must be \"%s\", found \"%s\"", b.row, b.name, have);
  }
}

void clearall() {
  unittypes.fill(Monster{});
  weapons.fill(Weapon{});
  armors.fill(Armor{});
  items.fill(Item{});
  sites.fill(Site{});
  nations.fill(Nation{});
  spells.fill(Spell{});
  forts.fill(Fort{});
  typemagic.fill(TypeMagic{});
  randmagic.fill(RandMagic{});
  for (auto& l : poprecruit) l.fill(RECRUIT_END);
  merctemplates.fill(MercTemplate{});
  recipes.fill(Recipe{});
  recipesteps.fill(RecipeStep{});
  recipecode.fill(RT_STOP);
  epithets.fill(Epithet{});
  for (auto& p : provnames) { p.count = 0; p.names[0][0] = 0; }
  for (auto& p : personalnames) p.count = 0;
  descrs.fill(Descr{});
  randevents.fill(Event{});
  nbrdescrs = 0;
  descrtext[0] = 0;
  typemagicused = 0;
  randmagicused = 0;
  unitdefined.assign(MAXUNITTYPES, 0);
  weaponalways.assign(MAXWEAPONS, 0);
}

// The table files in the order they are read; every one is required.
// ---------------------------------------------------------------- garrisons.txt

// One expression of a recipe into recipecode, in postfix order; blanks end
// it. Division is by a number above 0, so a recipe never divides by zero.
struct RecipeExpr {
  Loader& ld;
  std::string_view t;
  int& code;
  size_t i = 0;
  int depth = 0, deepest = 0;

  void emit(int16_t token) {
    if (code >= MAXRECIPECODE) ld.fail("the recipes are too long");
    recipecode[code++] = token;
  }
  void push(int n = 1) { deepest = std::max(deepest, depth += n); }
  long number() {
    long v = 0;
    auto res = std::from_chars(t.data() + i, t.data() + t.size(), v);
    if (res.ec != std::errc() || v > 32767) ld.fail("number 0..32767 expected in '%.*s'", (int)t.size(), t.data());
    i = res.ptr - t.data();
    return v;
  }
  bool next(char c) {
    if (i >= t.size() || t[i] != c) return false;
    i++;
    return true;
  }
  void expect(char c) {
    if (!next(c)) ld.fail("'%c' expected in '%.*s'", c, (int)t.size(), t.data());
  }
  void sum() {
    product();
    while (i < t.size() && (t[i] == '+' || t[i] == '-')) {
      const bool add = t[i++] == '+';
      product();
      emit(add ? RT_ADD : RT_SUB), depth--;
    }
  }
  void product() {
    atom();
    while (i < t.size() && (t[i] == '*' || t[i] == '/')) {
      if (t[i++] == '*') {
        atom();
        emit(RT_MUL), depth--;
        continue;
      }
      if (i >= t.size() || t[i] < '0' || t[i] > '9') ld.fail("'/' takes a number in '%.*s'", (int)t.size(), t.data());
      const long v = number();
      if (v < 1) ld.fail("division by 0 in '%.*s'", (int)t.size(), t.data());
      emit(RT_NUMBER), emit(int16_t(v)), push(), emit(RT_DIV), depth--;
    }
  }
  void atom() {
    if (next('(')) {
      sum();
      expect(')');
      return;
    }
    if (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      const long v = number();
      emit(RT_NUMBER), emit(int16_t(v)), push();
      return;
    }
    size_t s = i;
    while (i < t.size() && t[i] >= 'a' && t[i] <= 'z') i++;
    const std::string_view word = t.substr(s, i - s);
    if (word == "s" || word == "n") {
      emit(word == "s" ? RT_S : RT_N), push();
      return;
    }
    static const struct {
      const char* name;
      RecipeToken token;
      int args;
    } dice[] = {{"openroll", RT_OPENROLL, 1}, {"openrolls", RT_OPENROLLS, 2}, {"roll", RT_ROLL, 1}, {"rnd", RT_RND, 1}};
    for (const auto& d : dice) {
      if (word != d.name) continue;
      expect('(');
      sum();
      if (d.args == 2) expect(','), sum();
      expect(')');
      emit(d.token), depth -= d.args - 1;
      return;
    }
    ld.fail("unknown term '%.*s' in '%.*s'", (int)word.size(), word.data(), (int)t.size(), t.data());
  }
};

// The place of the expression's first token.
int16_t recipeexpr(Loader& ld, std::string_view text, int& code) {
  const int16_t first = int16_t(code);
  RecipeExpr e{ld, text, code};
  e.sum();
  if (e.i != text.size()) ld.fail("cannot read '%.*s'", (int)text.size(), text.data());
  if (e.deepest > 16) ld.fail("'%.*s' is too deep", (int)text.size(), text.data());
  e.emit(RT_STOP);
  return first;
}

// A unit row that units.txt gives: a number, or a number plus rnd(k) for
// one of k rows from it.
void recipeunit(Loader& ld, int16_t at, std::string_view text) {
  int16_t low = -1, spread = 1;
  const int16_t* c = &recipecode[size_t(at)];
  if (c[0] == RT_NUMBER && c[2] == RT_STOP) low = c[1];
  if (c[0] == RT_NUMBER && c[2] == RT_NUMBER && c[4] == RT_RND && c[5] == RT_ADD && c[6] == RT_STOP)
    low = c[1], spread = c[3];
  if (low < 0) ld.fail("a unit is a number or <number>+rnd(<number>), not '%.*s'", (int)text.size(), text.data());
  for (int u = low; u < low + spread; u++)
    if (u >= MAXUNITTYPES || !unitdefined[size_t(u)]) ld.fail("no unit row %d", u);
}

// Names of items and sites, checked once every table is read.
struct RecipeName {
  int step, line;
};
std::vector<RecipeName> recipenames;

void loadgarrisons(Loader& ld, std::string_view text) {
  static const char* const paths[] = {"fire", "air", "water", "earth", "astral", "death", "nature", "blood"};
  recipenames.clear();
  int steps = 0, code = 0, cur = -1, pick = -1, lastcase = -1;
  auto closepick = [&](int end) {
    if (lastcase >= 0) recipesteps[size_t(lastcase)].arg[2] = int16_t(end);
    for (int s = pick + 1; s < end; s++)
      if (recipesteps[size_t(s)].op == RecipeOp::when) recipesteps[size_t(s)].arg[3] = int16_t(end);
    pick = lastcase = -1;
  };
  auto closerecipe = [&]() {
    if (pick >= 0) ld.fail("pick without end in recipe %d", cur);
    if (cur >= 0) recipes[size_t(cur)].count = int16_t(steps - recipes[size_t(cur)].first);
  };
  readsections(ld, text,
      [&](std::string_view s) {
        closerecipe();
        long v = -1;
        auto res = std::from_chars(s.data(), s.data() + s.size(), v);
        if (res.ec != std::errc() || v < 1 || v >= MAXRECIPES || (res.ptr != s.data() + s.size() && *res.ptr != ' '))
          ld.fail("template 1..%d expected", MAXRECIPES - 1);
        if (recipes[size_t(v)].count > 0 || recipes[size_t(v)].first > 0) ld.fail("template %ld given twice", v);
        cur = int(v);
        recipes[size_t(cur)].first = int16_t(steps);
      },
      [&](std::string_view l) {
        std::vector<std::string_view> words;
        for (size_t i = 0; i < l.size();) {
          while (i < l.size() && isblank(l[i])) i++;
          size_t s = i;
          while (i < l.size() && !isblank(l[i])) i++;
          if (i > s) words.push_back(l.substr(s, i - s));
        }
        const std::string_view op = words[0];
        // The rest of the line after the op (and after the percent of item).
        auto rest = [&](size_t from) {
          if (words.size() <= from) ld.fail("%.*s needs a name", (int)op.size(), op.data());
          return l.substr(size_t(words[from].data() - l.data()));
        };
        if (steps >= MAXRECIPESTEPS) ld.fail("too many recipe steps");
        RecipeStep& st = recipesteps[size_t(steps)];
        st = RecipeStep{};
        auto args = [&](size_t n) {
          if (words.size() != n + 1) ld.fail("%.*s takes %zu values", (int)op.size(), op.data(), n);
        };
        auto expr = [&](int k, size_t w) { st.arg[k] = recipeexpr(ld, words[w], code); };
        auto num = [&](int k, size_t w, long low, long high) {
          long v = 0;
          auto res = std::from_chars(words[w].data(), words[w].data() + words[w].size(), v);
          if (res.ec != std::errc() || res.ptr != words[w].data() + words[w].size() || v < low || v > high)
            ld.fail("%.*s: %ld..%ld expected", (int)op.size(), op.data(), low, high);
          st.arg[k] = int16_t(v);
        };
        auto path = [&](int k, size_t w) {
          for (int p = 0; p < 8; p++)
            if (words[w] == paths[p]) return void(st.arg[k] = int16_t(p));
          ld.fail("unknown path '%.*s'", (int)words[w].size(), words[w].data());
        };
        auto settext = [&](std::string_view t) { setname(ld, st.text, RECIPETEXTLEN, t, ld.line); };
        if (op == "com") {
          args(1), st.op = RecipeOp::com, expr(0, 1), recipeunit(ld, st.arg[0], words[1]);
        } else if (op == "gang") {
          args(3), st.op = RecipeOp::gang, expr(0, 1), expr(1, 2), expr(2, 3);
          recipeunit(ld, st.arg[0], words[1]), recipeunit(ld, st.arg[1], words[2]);
        } else if (op == "squad" || op == "tosquad" || op == "guards") {
          st.op = op == "squad" ? RecipeOp::squad : op == "tosquad" ? RecipeOp::tosquad : RecipeOp::guards;
          args(2), expr(0, 1), expr(1, 2), recipeunit(ld, st.arg[0], words[1]);
        } else if (op == "equip") {
          args(1), st.op = RecipeOp::equip, num(0, 1, 0, 9);
        } else if (op == "item") {
          if (words.size() < 3) ld.fail("item takes a percent and a name");
          st.op = RecipeOp::item, num(0, 1, 1, 100), settext(rest(2));
          recipenames.push_back({steps, ld.line});
        } else if (op == "name") {
          st.op = RecipeOp::name, settext(rest(1));
        } else if (op == "magic") {
          args(2), st.op = RecipeOp::magic, path(0, 1), num(1, 2, 0, 9);
        } else if (op == "magicup") {
          args(1), st.op = RecipeOp::magicup, path(0, 1);
        } else if (op == "battleorder") {
          args(2), st.op = RecipeOp::battleorder, num(0, 1, 0, 99), num(1, 2, -1, 9999);
        } else if (op == "site" || op == "foundsite") {
          st.op = op == "site" ? RecipeOp::site : RecipeOp::foundsite, settext(rest(1));
          recipenames.push_back({steps, ld.line});
        } else if (op == "let") {
          args(1), st.op = RecipeOp::let, expr(0, 1);
        } else if (op == "pick") {
          if (pick >= 0) ld.fail("pick inside a pick");
          args(1), st.op = RecipeOp::pick, num(0, 1, 1, 10000);
          pick = steps;
        } else if (op == "case") {
          if (pick < 0) ld.fail("case outside a pick");
          args(2), st.op = RecipeOp::when, num(0, 1, 0, recipesteps[size_t(pick)].arg[0] - 1);
          num(1, 2, st.arg[0], recipesteps[size_t(pick)].arg[0] - 1);
          if (lastcase >= 0) recipesteps[size_t(lastcase)].arg[2] = int16_t(steps);
          lastcase = steps;
        } else if (op == "end") {
          if (pick < 0) ld.fail("end outside a pick");
          args(0), st.op = RecipeOp::end;
          closepick(steps);
        } else {
          ld.fail("unknown step '%.*s'", (int)op.size(), op.data());
        }
        if (pick >= 0 && steps == pick + 1 && st.op != RecipeOp::when) ld.fail("a pick begins with a case");
        steps++;
      });
  closerecipe();
}

// The items and sites that recipes name exist (names compare as the world
// builder looks them up).
void checkgarrisons(Loader& ld) {
  ld.file = "garrisons.txt";
  for (const RecipeName& n : recipenames) {
    const RecipeStep& st = recipesteps[size_t(n.step)];
    ld.line = n.line;
    if (st.op == RecipeOp::item && finditem(st.text) < 1) ld.fail("no item called %s", st.text);
    if (st.op != RecipeOp::item && findsite(st.text) < 0) ld.fail("no site called %s", st.text);
  }
  recipenames.clear();
}

const char* const tablefiles[] = {"units.txt", "weapons.txt", "armors.txt", "items.txt", "sites.txt",
                                  "nations.txt", "spells.txt", "forts.txt", "mercenaries.txt",
                                  "epithets.txt", "poptypes.txt", "provnames.txt", "personalnames.txt",
                                  "descriptions.txt", "events.txt", "garrisons.txt"};

}  // namespace

void cleargamedata() { clearall(); }

int loadgamedatafrom(const char* const* names, const char* const* texts, int count, char* err, size_t errlen) {
  Loader ld;
  ld.err = err;
  ld.errlen = errlen;
  if (errlen > 0) err[0] = 0;
  clearall();
  std::vector<Ref> refs;
  try {
    for (int i = 0; i < count; i++) {
      bool known = false;
      for (const char* t : tablefiles) known = known || strcmp(t, names[i]) == 0;
      ld.file = names[i];
      ld.line = 0;
      if (!known && strcmp(names[i], "ids.txt") != 0) ld.fail("unknown data file");
    }
    for (const char* t : tablefiles) {
      int i = 0;
      while (i < count && strcmp(names[i], t) != 0) i++;
      ld.file = t;
      ld.line = 0;
      if (i == count) ld.fail("data file missing");
      std::string_view text(texts[i]);
      if (strcmp(t, "provnames.txt") == 0) { loadprovnames(ld, text); continue; }
      if (strcmp(t, "personalnames.txt") == 0) { loadpersonalnames(ld, text); continue; }
      if (strcmp(t, "descriptions.txt") == 0) { loaddescriptions(ld, text); continue; }
      if (strcmp(t, "garrisons.txt") == 0) { loadgarrisons(ld, text); continue; }
      std::vector<Record> recs = splitrecords(ld, text);
      if (strcmp(t, "units.txt") == 0) loadunits(ld, refs, recs);
      else if (strcmp(t, "weapons.txt") == 0) loadweapons(ld, refs, recs);
      else if (strcmp(t, "armors.txt") == 0) loadarmors(ld, refs, recs);
      else if (strcmp(t, "items.txt") == 0) loaditems(ld, refs, recs);
      else if (strcmp(t, "sites.txt") == 0) loadsites(ld, refs, recs);
      else if (strcmp(t, "nations.txt") == 0) loadnations(ld, refs, recs);
      else if (strcmp(t, "spells.txt") == 0) loadspells(ld, refs, recs);
      else if (strcmp(t, "forts.txt") == 0) loadforts(ld, refs, recs);
      else if (strcmp(t, "mercenaries.txt") == 0) loadmercs(ld, refs, recs);
      else if (strcmp(t, "epithets.txt") == 0) loadepithets(ld, refs, recs);
      else if (strcmp(t, "poptypes.txt") == 0) loadpoptypes(ld, refs, recs);
      else if (strcmp(t, "events.txt") == 0) loadevents(ld, refs, recs);
    }
    resolve(ld, refs);
    finishtables();
    checkbound(ld);
    checkgarrisons(ld);
  } catch (const LoadError&) {
    clearall();
    return -1;
  }
  return 0;
}

namespace {
// Every table as a byte range: the snapshot keeps a copy of each.
struct TableBytes {
  const char* name;
  void* at;
  size_t size;
};
#define TABLE(t) {#t, &t, sizeof t}
const TableBytes alltables[] = {
    TABLE(unittypes), TABLE(weapons),       TABLE(armors),        TABLE(items),     TABLE(sites),
    TABLE(nations),   TABLE(spells),        TABLE(forts),         TABLE(typemagic), TABLE(randmagic),
    TABLE(poprecruit), TABLE(merctemplates), TABLE(epithets),     TABLE(provnames), TABLE(personalnames),
    TABLE(descrs),    TABLE(nbrdescrs),     TABLE(descrtext)};
#undef TABLE
std::vector<char> snapshot;
// The description pool is kept up to the end of its last text (and its
// terminator): no description points beyond, and the rest of a loaded pool
// is empty, so putting back the few texts is as good as the whole pool.
size_t descrtextkept = 0;

size_t keptsize(const TableBytes& t) { return t.at == &descrtext ? descrtextkept : t.size; }

// The marked changes, in blocks of each table's bytes: a flag per block of
// every table (the blocks of a table follow those of the one before), and
// the marked blocks in the order they were first marked.
constexpr size_t CHANGEBLOCK = 64;
struct ChangedBlock {
  char* at;             // in its table
  size_t snapshotat;
  size_t size;          // CHANGEBLOCK, less at a table's end
  uint32_t flag;        // its place in blockchanged
};
std::vector<uint8_t> blockchanged;
std::vector<ChangedBlock> changedblocks;

size_t blockcount(const TableBytes& t) { return (keptsize(t) + CHANGEBLOCK - 1) / CHANGEBLOCK; }

void clearchangemarks() {
  for (const ChangedBlock& c : changedblocks) blockchanged[c.flag] = 0;
  changedblocks.clear();
}
}  // namespace

void snapshotgamedata() {
  descrtextkept = descrtext.size();
  while (descrtextkept > 0 && descrtext[descrtextkept - 1] == 0) descrtextkept--;
  if (descrtextkept < descrtext.size()) descrtextkept++;
  size_t total = 0;
  for (const TableBytes& t : alltables) total += keptsize(t);
  snapshot.resize(total);
  size_t at = 0;
  for (const TableBytes& t : alltables) {
    memcpy(&snapshot[at], t.at, keptsize(t));
    at += keptsize(t);
  }
  size_t blocks = 0;
  for (const TableBytes& t : alltables) blocks += blockcount(t);
  changedblocks.clear();
  blockchanged.assign(blocks, 0);
}

void restoregamedata() {
  bailif(snapshot.empty(), "restoregamedata: no snapshot");
  size_t at = 0;
  for (const TableBytes& t : alltables) {
    memcpy(t.at, &snapshot[at], keptsize(t));
    at += keptsize(t);
  }
  clearchangemarks();
}

void markgamedatachange(const void* at, size_t size) {
  if (snapshot.empty() || size == 0) return;   // no snapshot yet: nothing to go back to
  const uintptr_t p = reinterpret_cast<uintptr_t>(at);
  size_t snapshotat = 0, firstflag = 0;   // the table's place in the snapshot and among the flags
  for (const TableBytes& t : alltables) {
    const uintptr_t start = reinterpret_cast<uintptr_t>(t.at);
    const size_t kept = keptsize(t);
    if (p >= start && p < start + kept) {
      bailif(size > kept - (p - start), "markgamedatachange: beyond the end of its table");
      for (size_t b = (p - start) / CHANGEBLOCK; b <= (p - start + size - 1) / CHANGEBLOCK; b++) {
        if (blockchanged[firstflag + b]) continue;
        blockchanged[firstflag + b] = 1;
        const size_t from = b * CHANGEBLOCK;
        changedblocks.push_back({static_cast<char*>(t.at) + from, snapshotat + from,
                                 std::min(CHANGEBLOCK, kept - from), uint32_t(firstflag + b)});
      }
      return;
    }
    snapshotat += kept;
    firstflag += blockcount(t);
  }
  bailif(1, "markgamedatachange: not within a table");
}

void restorechangedgamedata() {
  bailif(snapshot.empty(), "restorechangedgamedata: no snapshot");
  for (const ChangedBlock& c : changedblocks) memcpy(c.at, &snapshot[c.snapshotat], c.size);
  clearchangemarks();
}

const char* gamedatachangedtable() {
  bailif(snapshot.empty(), "gamedatachangedtable: no snapshot");
  size_t at = 0;
  for (const TableBytes& t : alltables) {
    if (memcmp(t.at, &snapshot[at], keptsize(t)) != 0) return t.name;
    at += keptsize(t);
  }
  return nullptr;
}

void loadgamedata() {
  std::vector<const char*> names, texts;
  for (int i = 0; i < embeddedfilecount(); i++) {
    names.push_back(embeddedfilename(i));
    texts.push_back(embeddedfiletext(i));
  }
  char err[800];
  if (loadgamedatafrom(names.data(), texts.data(), (int)names.size(), err, sizeof err) != 0) {
    char msg[900];
    snprintf(msg, sizeof msg, "loadgamedata: %s", err);
    fatalerror(msg);
    return;
  }
  snapshotgamedata();
}
