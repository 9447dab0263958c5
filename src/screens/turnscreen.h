// The player's turn: choosing a nation of a game and opening its turn
// (playturn, ppt), the main turn screen (viewland) and every key and click
// of it.
//
// Each part is split in two: rules, plain functions over the world tables
// and the screen state below that tests call without a window, and the
// screen, which rebuilds its items every frame and acts on the id that
// render_frame returns.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/short.h"

// ---------------------------------------------------------------- choosing and opening a turn

// Runs one game of the saved-games folder: the list of its nations with
// their turns (played ones marked with a leading dash), opening a nation's
// turn, and hosting from the same menu with the --preexec and --postexec
// commands around it. Returns on Exit, on missing mods, when the quit flag
// is raised, or when an opening fails in the automatic flow (one human
// player, or automatic hosting): a wrong password or Cancel at "already
// played". From the list a failed opening shows the list again.
void playturn(const char* gname);
// Registers the turn screens with the folders below: playturn opens a game
// from the Main Menu and the command line (frontend's playgame), the unit
// box shows a unit that stops the program (setunitfatalhook). main calls it
// after installplayerside.
void installturnscreens();

// ppt: play player turn.
// Opens the nation's turn: reads its turn file, offers Continue or Redo
// when its orders of this turn are in (reading its own order file when the
// player continues), asks the password (its field shows stars), shows the
// main turn screen and writes the order file when it is left with End turn.
// 1 after the screen was left (orders written unless the quit flag was
// raised, or the write failed and was reported); -1 when the "already
// played" question was cancelled; -2 after a wrong password (a cancelled
// prompt is one). A turn file that is missing or corrupted is named in a
// message box and ends the program with status 1.
int32_t ppt(int32_t nation, const char* gname);

// The password accepted for each nation during this run of the program
// (never saved): a nation whose password equals its entry opens without
// asking again.
extern char enteredpass[95][50];
// The longest password a player types (the files hold 49 characters).
constexpr int32_t PASSWORDLEN = 49;

// The menu line of a nation with a turn file: "- NAME (turn nbr T)" when its
// orders for the turn are in, else "NAME (turn nbr T)", with "(2h O)" added
// from debug level 1.
void nationline(char* out, int32_t size, int32_t nation, int32_t turn, int32_t orderturn, bool played);

// What the first step of the nation list does: show the menu, host at once,
// or open one nation's turn without a menu (a single human player with a
// host file, or automatic hosting with everyone ready).
enum class PlayStart { menu, host, open };
struct PlayChoice {
  PlayStart what = PlayStart::menu;
  int32_t nation = -1;   // for open
};
PlayChoice playstart(int32_t humans, int32_t ready, int32_t lastwaiting, int32_t lastready, bool hostfile,
                     bool autohost, bool firstpass);

// 1 when the typed entry opens the nation: it equals the nation's
// password, or the master password when one is set.
bool passwordmatches(const char* entry, const char* nationpass, const char* master);
// 1 when the nation opens without a prompt: no password, or this run's
// accepted entry for the nation matches.
bool passwordknown(int32_t nation);

// Reads the nation's turn file into the world: its checksum checked, the
// header's password and master password taken, the world as the nation
// sees it, the battle markers set; the turn and game numbers and the
// number of replays. 1; -1 when there is no turn file; -2 when it fails its
// checksum; -3 when its header or body does not read (the world is then
// cleared). Why it failed into why (whysize bytes) when given.
int32_t readturnfile(int32_t nation, const char* gname, int32_t* turnnbr, int32_t* gamenbr, int32_t* vcrs,
                     char* why = nullptr, int32_t whysize = 0);

// Clears the battle marker of every province and sets it for the lands
// named by the battle replays that follow the turn data in the stream; the
// number of replays found.
int32_t markbattles(FILE* f);

// End turn's save: write2hfile under the game's shared lock, and the player
// told when the orders may miss the month: a host that has started may have
// read the order files already (the file is written all the same); a host
// that has finished has made the next turn (nothing is written then). A
// file that cannot be written is named with the cause. Each is told in a
// message box, or with `said` given put there ("" when there is nothing to
// tell), for a save that nobody waits at.
enum class OrdersSave { written, notwritten, monthhosted };
OrdersSave saveorders(int32_t nation, const char* gname, int32_t turnnbr, int32_t gamenbr,
                      std::string* said = nullptr);

// The game's mods are on this machine (else a message box names the first
// missing one and the result is 0); they are enabled and the tables rebuilt.
int32_t enablegamemodsforplay();

// ---------------------------------------------------------------- main turn screen

// State of the main turn screen that other screens set before they return
// (go-to province, focus commander), and what the screen keeps from frame
// to frame. One per program; viewland fills it at entry.
struct TurnScreen {
  int32_t nation = 0;
  char gname[100] = {};
  int32_t turnnbr = 0, gamenbr = 0, vcrs = 0;
  int32_t current = 1;        // the province shown in the province box
  int32_t gotoprov = 0;       // shown on the next frame (0 or -1 none)
  int32_t focus = -1;         // commander selected on the next frame
  int32_t firstcard = 0;      // index among the province's cards
  int32_t lastclicked = -1;   // last card clicked, for range selection
  int32_t hint = 0;           // "right click on its flag" shown
  int32_t tabheld = 0;
  int32_t buttons = 1;        // the button column is shown
  int32_t showmessages = 0;   // open the message list on the first frame
  int32_t upkeep = 0;         // worked out at entry
  int32_t endturn = 0;        // End turn was chosen
};
extern TurnScreen turnscreen;

// Ids of the main turn screen.
enum TurnId : int32_t {
  TS_RECRUIT = 1, TS_ARMYSETUP = 2, TS_MESSAGES = 4, TS_OVERVIEW = 5, TS_GRAPHS = 6, TS_HALLOFFAME = 7,
  TS_NATIONS = 8, TS_HOME = 9, TS_DEFAULTZOOM = 10, TS_ZOOMOUT = 11, TS_ZOOMIN = 12, TS_ARMYHERE = 13,
  TS_MAPCLICK = 15, TS_LAB = 16, TS_TEMPLE = 17, TS_TAX = 18, TS_DEFENCE = 19, TS_SCOUT = 22, TS_KEYHELP = 26,
  TS_GOD = 27, TS_SITE = 30,   // 30..33: the site slots
  TS_SELECTALL = 41, TS_PAGEBACK = 42, TS_PAGEON = 43, TS_RESEARCH = 44, TS_RESOURCES = 45, TS_ENCHANTMENTS = 46,
  TS_ITEMS = 47, TS_FILTERKEY = 50,   // 51..59: the filter keys 1..9
  TS_NEXTIDLE = 70, TS_REPLAYS = 71, TS_GOTONUMBER = 72, TS_BIGGER = 73, TS_SMALLER = 74, TS_BUTTONS = 75,
  TS_TABDOWN = 76, TS_TABUP = 77, TS_SCALES = 80,   // 80..85: the scale icons
  TS_STATISTICS = 90, TS_FILTERS = 91, TS_MERCENARIES = 92, TS_ORDERMENU = 99, TS_ORDERKEY = 100,   // 100 + request
  TS_VALUE = 989, TS_UNSELECT = 990, TS_FORT = 991, TS_MESSAGELIST = 993, TS_OPTIONS = 994, TS_ENDTURN = 999,
  TS_CARD = 1000,        // + commander
  TS_CARDORDER = 10000,  // + commander: the order text of a card
  TS_ENCHANTMENT = 30000 // + enchantment
};

// Shows the nation's turn until End turn (or the quit flag): the map with
// the province box, the nation box, the right column and the commander
// cards of the current province. A nation above 94 stops the program
// ("viewland: bad player").
void viewland(int32_t home, int32_t nation, int32_t vcrs, const char* gname, int32_t turnnbr, int32_t gamenbr,
              int32_t showmessages);
// The turn that openturnscreen opened, shown until End turn (or the quit
// flag); called again it goes on where the player was.
void runturnscreen();

// The screen's entry: its state for the nation's turn, the knowledge and
// army caches, the music, the upkeep shown. viewland begins with it.
void openturnscreen(int32_t home, int32_t nation, int32_t vcrs, const char* gname, int32_t turnnbr, int32_t gamenbr,
                    int32_t showmessages);
// One frame of the screen built (items, areas and keys laid out) without
// drawing it: what viewland shows before it waits for an action.
void buildturnframe();

// ---- rules of the screen (turnscreenrules.cpp)

// The commander's body is alive and the nation's, in province lnr (in any
// province for -1).
bool comalivein(int32_t cnr, int32_t nation, int32_t lnr);
// Card scale: the preference, or automatic (below 0.5 or above 1.5): 1.2
// for fewer than six commanders, else 1.0. The rows and columns of cards
// that fit at a scale.
float cardscale(float preference, int32_t commanders);
void cardlimits(float scale, int32_t* rows, int32_t* columns);
// The nation's commanders with a living body in the province, in
// commander number order.
std::vector<int32_t> provincecards(int32_t nation, int32_t lnr);
// The season text: "Early Spring in the first year of the oruvane wars"
// up to turn 11, then "... in the year N of the oruvane wars".
void seasonhint(char* out, int32_t size, int32_t turnnbr);
// The width of the scout report window (220, 320, 420, else 500) and its
// rows at that width.
float scoutwidth(const char* text, int32_t* rows);
// The rows of the province's scout report for the nation at the width it
// takes (0 when there is none).
int32_t scoutrows(int32_t nation, int32_t lnr);
// The grid of cards shown for count cards at the scale: at most the rows
// and columns of cardlimits, a row fewer for every four rows (begun) of a
// scout report of reportrows rows above it, but at least one.
void cardgrid(int32_t count, float scale, int32_t reportrows, int32_t* rows, int32_t* columns);
// The first card to show so that commander cnr is seen among the count
// cards of that grid: the smallest paging offset that shows it, else 0.
int32_t focusoffset(int32_t cnr, int32_t count, float scale, int32_t reportrows);
// One province feature of the right column: its id (0 for none), the
// picture, the label and the hint.
struct ColumnFeature {
  int32_t id, file, icon;
  char text[60];
  char hint[200];
};
// The province's features that the right column lists, from the top: the
// fort (known name), the laboratory (castle held), the temple (known name;
// its id only when the castle is held), the found magic sites (site
// knowledge; named in the hint when the castle is held) and the nation's
// enchantments on the province. info holds the nation's information-level
// bits of the province (infolevel).
std::vector<ColumnFeature> provincefeatures(int32_t nation, int32_t lnr, int32_t info);

// ---- rules of the commands (turncommandsrules.cpp)

// The held modifier keys of a click.
struct ClickKeys {
  bool ctrl = false, shift = false, alt = false;
};
// A click on commander c's card (selection, ranges, armies).
void cardclick(int32_t c, ClickKeys keys);
// The a key: select every selectable commander of the province as one new
// army, or none when all were selected.
void selectallorno();
// The n key: the next idle commander of the nation after the selection,
// round the provinces; -1 when none (nothing changes).
int32_t nextidle();
// A left click on the map at province lnr (0 or below: outside every
// province) with the selection: move orders, or staying put.
void mapclickorders(int32_t lnr, bool ctrl);
// A right click on the map at province lnr: it becomes the current province.
void mapselect(int32_t lnr);
// A map filter key 1..9 on the saved filter word; 0 when the key has no layer.
uint32_t filterkeyword(uint32_t word, int32_t key);
// Whether a commander may be given orders from this screen (alive, the
// nation's, no fixed order).
bool selectable(int32_t c, int32_t nation);
// The commanders that an order key or the order menu acts on: every
// selected commander that the nation owns, or with no selection the
// commander whose card lies under the pointer (hover id).
std::vector<int32_t> ordertargets(int32_t hoverid);
// The order request of an order key (capital letters), -1 for none. P is
// Preach on the nation's own ground and abroad (enemypreach).
int32_t orderkeyrequest(int32_t key, bool ownground);
// The paging keys and arrows of the cards: back or on by one row of cards,
// never before the first nor beyond the page that shows the last card.
void pagecards(bool on);
// The card size keys: the card scale 0.1 bigger (up to 1.4) or smaller
// (down to 0.6), from the scale now shown.
void stepcardscale(bool bigger);

// ---- the commands (turncommands.cpp)

// Acts on one id of the main turn screen; 1 when the screen is to be left.
int32_t turnaction(int32_t id);

// The screens of other parts that the commands open (army panel, unit
// box, recruitment, research, laboratory, treasuries, mercenaries, temple,
// fort, site and enchantment boxes, nation overview, graphs, hall of fame,
// statistics, filters, key help, replays): one switch, in turncommands.cpp,
// where each of those screens is called once it exists. 1 when the id is
// one of them.
int32_t opennationscreen(int32_t id);
