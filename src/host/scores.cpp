// Scores and victory: nations that have lost everything leave the game,
// victory conditions are checked, and the score page ("scores.html") and
// the statistics file ("stats.txt") are made. The end statistics and the
// cheat-detection baselines are recorded here too.
#include <algorithm>
#include <cstdio>
#include <string>

#include "host/host.h"
#include "host/hostinternal.h"
#include "host/phases.h"
#include "runtime/fatal.h"
#include "runtime/options.h"
#include "runtime/util.h"
#include "world/economy.h"
#include "world/gamedata.h"
#include "world/grammar.h"
#include "world/magic.h"
#include "world/rules.h"
#include "world/scores.h"
#include "world/units.h"
#include "world/world.h"
#include "worldgen/worldgen.h"

namespace {

// Victory conditions of the game information (the score graphs draw the
// goals of 2, 3 and 4 on the veyrance, province and research graphs).
enum Victory { VC_STANDARD = 0, VC_POINTS = 1, VC_VEYRANCE = 2, VC_PROVINCES = 3, VC_RESEARCH = 4, VC_SUMMER = 5 };

struct NationScore {
  int32_t provinces = 0, forts = 0, temples = 0, income = 0, gems = 0, research = 0, units = 0, vp = 0, veyrance = 0;
};

NationScore scoreof(int32_t p) {
  NationScore s;
  for (int32_t l = 1; l <= nbrlands; l++) {
    const Land& ld = land[size_t(l)];
    if (ld.owner == p) s.provinces++;
    if (ld.fortholder == p && ld.fort > 0) s.forts++;
    if (ld.fortholder == p && ld.temple > 0) s.temples++;
  }
  s.income = getkinc(p);
  for (int32_t g = 0; g < 8; g++) s.gems += imax(kingdom[size_t(p)].w[KW_GEMS + g], 0);
  for (int32_t i = 0; i < 7; i++) s.research += imax(researchrec[p][RR_LEVEL + i], 0);
  s.units = armycomposition(p, -1, nullptr, nullptr, nullptr, nullptr);
  s.vp = victorypoints(p);
  s.veyrance = godplayer(p) ? veyscore(p) : 0;
  return s;
}

bool hasunits(int32_t p) {
  for (int32_t u = 0; u <= highestunit; u++)
    if (unit[size_t(u)].owner == p && unit[size_t(u)].hp >= 1) return true;
  return false;
}

void eliminate(int32_t p) {
  Kingdom& k = kingdom[size_t(p)];
  destroyedthisturn.push_back(p);
  k.w[KW_CONTROLLER] = int16_t(uint16_t(k.w[KW_CONTROLLER]) == CTRL_HUMAN ? CTRL_WAS1 : CTRL_WAS2);
  for (int32_t q = 0; q < MAXPLAYERS; q++)
    if (activeplayer(q) || q == p)
      t2msg(newmsg(-1, q, MT_PLAIN, -1), "%s has been destroyed\n\n%s holds no province and commands no army "
            "any more.", nations[size_t(p)].name, nations[size_t(p)].name);
}

bool maywin(int32_t p) { return activeplayer(p) && kingdom[size_t(p)].w[KW_MAYWIN] != 0; }

// The player that meets the game's victory condition, or -1.
int32_t victor() {
  int32_t alive = 0, last = -1, participants = 0;
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (p >= 23 && p <= 25) continue;
    participants += isparticipant(p);
    if (activeplayer(p)) alive++, last = p;
  }
  if (alive == 1 && participants > 1 && maywin(last)) return last;
  const int32_t need = gameinfo.victoryvalue;
  if (need <= 0) return -1;
  int32_t best = -1, bestvalue = 0;
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!maywin(p) || (p >= 23 && p <= 25)) continue;
    int32_t v = 0;
    switch (gameinfo.victory) {
      case VC_POINTS: v = victorypoints(p); break;
      case VC_PROVINCES: v = nbrlands > 0 ? nbrofprovinces(p) * 100 / nbrlands : 0; break;
      case VC_RESEARCH: v = scoreof(p).research; break;
      case VC_VEYRANCE: v = godplayer(p) ? veyscore(p) : 0; break;
      case VC_SUMMER: v = kingdom[size_t(p)].w[KW_SUMMERVP]; break;
      default: continue;
    }
    if (v >= need && v > bestvalue) best = p, bestvalue = v;
  }
  return best;
}

std::string finalscores() {
  std::string text = "Final scores\n\n";
  char line[300];
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!activeplayer(p) || (p >= 23 && p <= 25)) continue;
    const NationScore s = scoreof(p);
    formatbounded(line, sizeof line, "%s: %d provinces, %d forts, %d victory points, research %d, %d units\n",
                  nations[size_t(p)].name, s.provinces, s.forts, s.vp, s.research, s.units);
    text += line;
  }
  return text;
}

std::string htmltext(const char* text) {
  std::string s;
  for (const char* c = text; *c; c++) {
    switch (*c) {
      case '&': s += "&amp;"; break;
      case '<': s += "&lt;"; break;
      case '>': s += "&gt;"; break;
      case '"': s += "&quot;"; break;
      default: s += *c;
    }
  }
  return s;
}

const char* controllertext(int32_t p) {
  switch (uint16_t(kingdom[size_t(p)].w[KW_CONTROLLER])) {
    case CTRL_HUMAN: return "Human";
    case CTRL_AI: return "Computer";
    default: return "Destroyed";
  }
}

std::vector<uint8_t> bytesof(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

}  // namespace

// What every nation's scouts see at the end of the month: the armies of
// others in its provinces and next to them. A report (type 5) carries the
// number of units seen in its second subject and their most common type in
// its third; the map shows them.
void scoutreports() {
  const LandIndex& index = indexlands();
  int32_t players = 0;
  for (int32_t p = 0; p < MAXPLAYERS; p++) players += activeplayer(p);
  const int32_t budget = imax(10, MAXMSG / 2 / imax(players, 1));
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!activeplayer(p)) continue;
    std::vector<char> seen(size_t(nbrlands + 1), 0);
    for (int32_t l = 1; l <= nbrlands; l++) {
      if (land[size_t(l)].owner != p) continue;
      seen[size_t(l)] = 1;
      for (int32_t i = 0; i < MAXNEIGHBOURS && provgeo[size_t(l)].nbr[i] > 0; i++)
        if (provgeo[size_t(l)].nbr[i] <= nbrlands) seen[size_t(provgeo[size_t(l)].nbr[i])] = 1;
    }
    int32_t reports = 0;
    for (int32_t l = 1; l <= nbrlands && reports < budget; l++) {
      if (!seen[size_t(l)]) continue;
      // Hidden armies are not seen.
      std::vector<int32_t> hiddenunits;
      for (int32_t c : index.coms[size_t(l)])
        if (com[size_t(c)].order == Order::sneak && complayer(c) != p)
          for (int32_t u : armyunits(c)) hiddenunits.push_back(u);
      std::vector<std::pair<int32_t, int32_t>> types;   // (type, count)
      int32_t count = 0;
      for (int32_t u : index.units[size_t(l)]) {
        const Unit& x = unit[size_t(u)];
        if (x.hp < 1 || x.owner == p || x.land != l || !hostile(p, x.owner)) continue;
        if (std::find(hiddenunits.begin(), hiddenunits.end(), u) != hiddenunits.end()) continue;
        count++;
        auto it = std::find_if(types.begin(), types.end(), [&](const auto& t) { return t.first == x.type; });
        if (it == types.end()) types.push_back({x.type, 1});
        else it->second++;
      }
      if (count == 0) continue;
      int32_t main = types.front().first, most = 0;
      for (const auto& [t, n] : types)
        if (n > most) main = t, most = n;
      const int32_t m = newmsg(l, p, MT_SCOUT, l);
      if (m < 0) return;
      message[size_t(m)].subj[1] = count;
      message[size_t(m)].subj[2] = main;
      char plural[PLURALLEN];
      t2msg(m, "Scouts report %d units in %s, most of them %s.", count, land[size_t(l)].name,
            pluralname(most, unittypes[size_t(main)].name, plural));
      reports++;
    }
  }
}

void statisticsphase() {
  host_upditemsinplay();
  updateendstats(0);
  scoutreports();
}

void scoresphase() {
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!activeplayer(p) || (p >= 23 && p <= 25)) continue;
    if (nbrofprovinces(p) == 0 && scoreof(p).forts == 0 && !hasunits(p)) eliminate(p);
  }
  // Victory points are gathered on the first month of summer.
  if (getmonth() == 3 && ((gameinfo.gameflags & GF_SUMMERVP) || gameinfo.victory == VC_SUMMER))
    for (int32_t p = 0; p < MAXPLAYERS; p++)
      if (activeplayer(p))
        kingdom[size_t(p)].w[KW_SUMMERVP] = int16_t(imin(32767, kingdom[size_t(p)].w[KW_SUMMERVP] + victorypoints(p)));
  bool decided = false;
  for (int32_t p = 0; p < MAXPLAYERS; p++) decided = decided || kingdom[size_t(p)].w[KW_WINNER] == 1;
  const int32_t winner = decided ? -1 : victor();
  if (winner >= 0) {
    kingdom[size_t(winner)].w[KW_WINNER] = 1;
    for (int32_t q = 0; q < MAXPLAYERS; q++)
      if (activeplayer(q))
        t2msg(newmsg(-1, q, MT_PLAIN, -1), "Victory\n\n%s has won the game.", nations[size_t(winner)].name);
  }
  if (hostmode == 2) {
    const std::string text = finalscores();
    for (int32_t q = 0; q < MAXPLAYERS; q++)
      if (activeplayer(q)) t2msg(newmsg(-1, q, MT_PLAIN, -1), "%s", text.c_str());
  }
}

void cheatsphase() {
  for (int32_t p = 0; p < MAXPLAYERS; p++)
    if (activeplayer(p)) storecheatvalues(p);
}

std::vector<uint8_t> scorepage() {
  std::string s = "<html>\n<head><title>" + htmltext(hostedgame) + "</title></head>\n<body>\n";
  char line[600];
  formatbounded(line, sizeof line, "<h1>%s, turn %d</h1>\n<table border=\"1\">\n", htmltext(hostedgame).c_str(), turn + 1);
  s += line;
  const bool hidden = gameinfo.gameflags & GF_NONATIONINFO;
  s += hidden ? "<tr><th>Nation</th><th>Player</th></tr>\n"
              : "<tr><th>Nation</th><th>Player</th><th>Provinces</th><th>Forts</th><th>Income</th><th>Gems</th>"
                "<th>Research</th><th>Units</th><th>Temples</th><th>Victory points</th></tr>\n";
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!isparticipant(p) || (p >= 23 && p <= 25)) continue;
    const std::string name = htmltext(nations[size_t(p)].name);
    if (hidden) {
      formatbounded(line, sizeof line, "<tr><td>%s</td><td>%s</td></tr>\n", name.c_str(), controllertext(p));
    } else {
      const NationScore n = scoreof(p);
      formatbounded(line, sizeof line,
                    "<tr><td>%s</td><td>%s</td><td>%d</td><td>%d</td><td>%d</td><td>%d</td><td>%d</td><td>%d</td>"
                    "<td>%d</td><td>%d</td></tr>\n",
                    name.c_str(), controllertext(p), n.provinces, n.forts, n.income, n.gems, n.research, n.units,
                    n.temples, n.vp);
    }
    s += line;
  }
  s += "</table>\n</body>\n</html>\n";
  return bytesof(s);
}

std::vector<uint8_t> statisticsfile() {
  char line[600];
  formatbounded(line, sizeof line, "%s turn %d\n", hostedgame, turn + 1);
  std::string s = line;
  s += "nation\tplayer\tprovinces\tforts\tincome\tgold\tgems\tresearch\tunits\ttemples\tvp\tveyrance\n";
  for (int32_t p = 0; p < MAXPLAYERS; p++) {
    if (!isparticipant(p) || (p >= 23 && p <= 25)) continue;
    const NationScore n = scoreof(p);
    formatbounded(line, sizeof line, "%s\t%s\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\t%d\n", nations[size_t(p)].name,
                  controllertext(p), n.provinces, n.forts, n.income, kingdom[size_t(p)].gold, n.gems, n.research,
                  n.units, n.temples, n.vp, n.veyrance);
    s += line;
  }
  return bytesof(s);
}
