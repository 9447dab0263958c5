// Plurals, pronouns and articles.
#include "world/grammar.h"

#include <cstring>

#include "runtime/util.h"
#include "world/gamedata.h"
#include "world/units.h"

namespace {
struct TitlePrefix {
  const char* prefix;
  const char* plural;   // null: the name stays as it is
};
// Tested in this order; longer titles that contain a shorter one come first.
constexpr TitlePrefix titles[] = {
    {"Knight of", "Knights of"}, {"Arch Bishop of", "Arch Bishops of"}, {"Commander of", "Commanders of"},
    {"Daughter of", "Daughters of"}, {"Soulless of", nullptr}, {"Initiate of", "Initiates of"},
    {"Acolyte of", "Acolytes of"}, {"Warden of", "Wardens of"}, {"Bishop of", "Bishops of"},
    {"Mother of", "Mothers of"}, {"Master of", "Masters of"}, {"Wizard of", "Wizards of"},
    {"Fiend of", "Fiends of"}, {"Crone of", nullptr}, {"Slave of", "Slaves of"}, {"Queen of", "Queens of"},
    {"Angel of", nullptr}, {"King of", "Kings of"}, {"Lord of", "Lords of"}, {"Adept of", "Adepts of"},
};

bool endswith(const char* s, size_t len, const char* tail) {
  const size_t t = strlen(tail);
  return len >= t && !strcmp(s + len - t, tail);
}

// Replaces the last `cut` characters of dst (a copy of the name) by `with`.
void retail(char* dst, size_t len, size_t cut, const char* with) {
  dst[len - cut] = 0;
  strlappend(dst, with, PLURALLEN);
}

bool female(int32_t unr) {
  if (unr < 0 || unr >= MAXUNITS) return false;
  const int32_t t = unit[unr].type;
  return t >= 0 && t < MAXUNITTYPES && (unittypes[t].flags & MF_FEMALE);
}

bool vowel(const char* text) { return text && text[0] && strchr("aeiouAEIOU", text[0]); }
}  // namespace

char* pluralname(int32_t count, const char* name, char* dst) {
  if (!name) name = "";
  strlcopy(dst, name, PLURALLEN);
  if (count == 1) return dst;
  const size_t len = strlen(name);
  for (const TitlePrefix& t : titles) {
    const size_t p = strlen(t.prefix);
    if (len > p && !strncmp(name, t.prefix, p)) {
      if (t.plural) {
        strlcopy(dst, t.plural, PLURALLEN);
        strlappend(dst, name + p, PLURALLEN);
      }
      return dst;
    }
  }
  if (!strcmp(name, "Man at Arms")) return strlcopy(dst, "Men at Arms", PLURALLEN), dst;
  const size_t dl = strlen(dst);   // the copy may be cut to the buffer
  if (len >= 5 && endswith(dst, dl, "less")) return dst;
  if (len >= 4 && endswith(dst, dl, "ess")) return strlappend(dst, "es", PLURALLEN), dst;
  if (len >= 4 && endswith(dst, dl, "man")) return retail(dst, dl, 3, "men"), dst;
  if (len >= 4 && endswith(dst, dl, "Man")) return retail(dst, dl, 3, "Men"), dst;
  if (len >= 3 && endswith(dst, dl, "lf")) return retail(dst, dl, 2, "lves"), dst;
  if (len >= 3 && endswith(dst, dl, "ey")) return strlappend(dst, "s", PLURALLEN), dst;
  if (len >= 2 && endswith(dst, dl, "y")) return retail(dst, dl, 1, "ies"), dst;
  if (len >= 2 && endswith(dst, dl, "s")) return dst;
  strlappend(dst, "s", PLURALLEN);
  return dst;
}

const char* heshecap(int32_t unr) { return female(unr) ? "She" : "He"; }
const char* heshe(int32_t unr) { return female(unr) ? "she" : "he"; }
const char* hisher(int32_t unr) { return female(unr) ? "her" : "his"; }
const char* hishercap(int32_t unr) { return female(unr) ? "Her" : "His"; }
const char* himher(int32_t unr) { return female(unr) ? "her" : "him"; }
const char* himherself(int32_t unr) { return female(unr) ? "herself" : "himself"; }
const char* anacap(const char* text) { return vowel(text) ? "An" : "A"; }
const char* aan(const char* text) { return vowel(text) ? "an" : "a"; }
const char* waswere(int32_t count) { return count == 1 ? "was" : "were"; }
