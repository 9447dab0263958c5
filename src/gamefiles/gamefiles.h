// Game files: the binary world, turn, order and pretender files, their common
// header and checksum, the record layouts shared by every writer and reader,
// the battle replays and the set-aside forces of a battle, and the verify mode.
//
// Every record's file layout is one table of fields (width in the file, place
// in the record, first and last file version that holds it); the writer and
// the reader of a record walk the same table. Readers bound every count, index
// and length. Under a SoftReadScope (order files, fuzzing) a defect marks
// binreadfailed and the reader returns; otherwise it stops with its message.
#pragma once
#include <cstddef>
#include <array>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "runtime/short.h"
#include "runtime/util.h"
#include "world/hoststate.h"
#include "world/units.h"
#include "world/world.h"

// ---------------------------------------------------------------- versions
constexpr int32_t FILEVERSION = 327;      // written into every header
constexpr int32_t OLDESTVERSION = 264;    // oldest file still read
constexpr int32_t LATEST = 32767;         // "to the current version" in tables
constexpr int32_t HEADERCHECK = 12345;

// Version of the file being read; record readers branch on it.
extern int32_t readversion;
void setreadversion(int32_t version);
// Version of the layouts written: always FILEVERSION in the game; an older
// value writes the older layouts (for tests of the older-layout readers).
extern int32_t writeversion;

// ---------------------------------------------------------------- read failures
// A reader defect: under a SoftReadScope marks binreadfailed and returns
// false; otherwise stops the program with the message.
bool readdefect(const char* message);
// True while the current soft read has failed.
bool readbroken();

// ---------------------------------------------------------------- layout tables
enum class FieldKind : uint8_t { number, plainstring, keystring };

struct FieldSpec {
  FieldKind kind = FieldKind::number;
  uint8_t filewidth = 0;   // bytes per element in the file (1, 2, 4)
  uint8_t memwidth = 0;    // bytes per element in the record
  bool issigned = false;   // sign of the record's element type
  uint32_t offset = 0;     // byte offset of the first element in the record
  uint32_t count = 0;      // elements; for strings the destination's bytes
  int32_t first = 0;       // first file version that holds the field
  int32_t last = LATEST;   // last file version that holds the field
  constexpr FieldSpec from(int32_t v) const { FieldSpec s = *this; s.first = v; return s; }
  constexpr FieldSpec upto(int32_t v) const { FieldSpec s = *this; s.last = v; return s; }
  constexpr bool inversion(int32_t v) const { return v >= first && v <= last; }
};

namespace layoutdetail {
template <class T> struct element { using type = T; static constexpr uint32_t n = 1; };
template <class T, size_t N> struct element<T[N]> { using type = T; static constexpr uint32_t n = N; };
template <class T, size_t N> struct element<std::array<T, N>> { using type = T; static constexpr uint32_t n = N; };
template <class T> struct element<UnitKey<T>> { using type = T; static constexpr uint32_t n = 1; };
template <class M>
constexpr FieldSpec number(int filewidth, size_t offset, uint32_t start, uint32_t count) {
  using E = typename element<std::remove_cv_t<M>>::type;
  static_assert(std::is_integral_v<E> || std::is_enum_v<E>, "numeric field");
  FieldSpec s;
  s.kind = FieldKind::number;
  s.filewidth = uint8_t(filewidth);
  s.memwidth = uint8_t(sizeof(E));
  if constexpr (std::is_enum_v<E>) s.issigned = std::is_signed_v<std::underlying_type_t<E>>;
  else s.issigned = std::is_signed_v<E>;
  s.offset = uint32_t(offset + start * sizeof(E));
  s.count = count ? count : element<std::remove_cv_t<M>>::n - start;
  return s;
}
template <class M>
constexpr FieldSpec text(FieldKind kind, size_t offset) {
  FieldSpec s;
  s.kind = kind;
  s.offset = uint32_t(offset);
  s.count = uint32_t(sizeof(M));
  return s;
}
}  // namespace layoutdetail

// A numeric field (all of its elements) stored with the given width per element.
#define GF_NUM(rec, member, width) \
  layoutdetail::number<decltype(rec::member)>(width, offsetof(rec, member), 0, 0)
// Elements start .. start+count-1 of an array field.
#define GF_PART(rec, member, width, start, count) \
  layoutdetail::number<decltype(rec::member)>(width, offsetof(rec, member), start, count)
#define GF_STR(rec, member) layoutdetail::text<decltype(rec::member)>(FieldKind::plainstring, offsetof(rec, member))
#define GF_KEYSTR(rec, member) layoutdetail::text<decltype(rec::member)>(FieldKind::keystring, offsetof(rec, member))

using Layout = std::span<const FieldSpec>;
// Writes the fields that the current version holds.
void writefields(Layout layout, const void* record, FILE* f);
// Reads the fields that readversion holds; fields the file lacks keep their
// value. False when a soft read failed.
bool readfields(Layout layout, void* record, FILE* f);
// Bytes the fields take in a file of the given version (strings count 1: their terminator).
int32_t layoutbytes(Layout layout, int32_t version);
// The fields as writefields writes them, into out (room bytes), for a
// layout of numbers alone: the bytes written, 0 for a layout with text or
// when they do not fit. exact: readfields (in this version) reads them back
// into the values the record holds (no value is too wide for its field).
size_t fieldsinto(Layout layout, const void* record, uint8_t* out, size_t room, bool* exact);

// ---------------------------------------------------------------- indexed sections
// A section is (int32 index >= 0, record) pairs ended by int32 -1.
void putindex(int32_t index, FILE* f);
void endsection(FILE* f);
// The next index of a section: -1 at its end, else 0..limit-1; an index at or
// above limit is a defect with the message. On a soft failure -2.
int32_t getindex(FILE* f, int32_t limit, const char* message);
// The same for an index just read from f.
int32_t checkindex(FILE* f, int32_t index, int32_t limit, const char* message);
// Reads an int32 check; a different value is a defect with the message.
bool readcheck(FILE* f, int32_t expected, const char* message);
bool readcheck16(FILE* f, int32_t expected, const char* message);

// ---------------------------------------------------------------- header and checksum
extern int32_t headererror;               // 0, -1 wrong magic, -2 wrong game number
extern char headermasterpass[50];         // master password of the last header read
extern char lastfilepath[3000];           // file of the last createfileheader
extern int32_t filegamenumber;            // game number of the last header read
extern int32_t newlordslotvalue;          // pretender slot for "newlords" paths

// The nation's file word for paths; the realm must be 0..94.
const char* realmword(int32_t realm);
// Path of a game file as the header functions choose it; 0 on a bad realm.
// Every game-file path comes from here (or, for one saved design, from
// newlordfilepath), so that a game being made in another folder
// (redirectgame) is found there.
int gamefilepath(char* path, int32_t size, const char* gname, int32_t turnfile, int32_t realm);
// Path of the realm's saved design in slot `slot` of the "newlords" folder.
void newlordfilepath(char* path, int32_t size, int32_t realm, int32_t slot);
// True when the game's folder holds its world file or any nation's turn file.
bool hasgamefiles(const char* gname);

// A game file being written: the bytes gather in memory and reach the disk
// only in closegamefile, through a new file renamed over the old one.
struct GameFileWriter;
struct GameFileDeleter { void operator()(GameFileWriter* w) const; };
using GameFile = std::unique_ptr<GameFileWriter, GameFileDeleter>;
FILE* gamefilestream(const GameFile& file);
// A game file at any path; none (the cause in errno) when the folder cannot
// take a new file. A file of the temp folder (replays, the world set aside)
// is not durable: it need not outlast a power loss, so it costs no sync.
GameFile opengamefile(const char* path, bool durable = true);
// The path that the file goes to.
const char* gamefiletarget(const GameFile& file);
// Ends the file (with the 2-byte checksum when asked) and puts it in place.
// False (the old file unchanged, the cause in errno) when it could not be
// written.
bool closegamefile(GameFile file, int withcrc);

// A game file of the game's folder (made when missing) with its header
// written: the world, a nation's turn or order file. None (the cause in
// errno, nothing changed) when the folder takes no new file.
GameFile createfileheader(const char* gname, int32_t gamenbr, int32_t turn, int32_t turnfile, int32_t realm,
                          const char* password, int32_t reserved);
// The header fields into a stream (used by createfileheader and by tests).
void writefileheader(FILE* f, const char* gname, int32_t gamenbr, int32_t turn, int32_t turnfile, int32_t realm,
                     const char* password, int32_t reserved);
UniqueFile readfileheader(const char* gname, int32_t gamenbr, int32_t turnwanted, int32_t turnfile, int32_t realm,
                          int32_t* turnout, char* passwordout, int32_t* reserved1, int32_t* reserved2);
// Why the game file (the path of readfileheader) is not a file of the game
// (gamenbr 0: of any game) and realm that reads, in the user's words ("there
// is no such file", what readsthrough says of a file that cannot be read
// ("it is a folder, not a file", "no permission"), "the file is empty", and
// what headerproblem says of its header, or "the file is damaged (bad
// checksum)"); "" when it reads. Turn and order files must pass their
// checksum too. Never stops the program.
void gamefileproblem(char* out, int32_t size, const char* gname, int32_t gamenbr, int32_t turnfile, int32_t realm);
// The same for the header on the stream (at its start), read with any turn:
// "it is not a game file", "the file is of version 400; this program reads
// versions 264 to 327" (for a world or turn file after the words of the
// header's own stop), "the file is damaged (its header is cut short)",
// readdamage's words, "the file belongs to another nation", "the file
// belongs to another game"; "" when it reads, with the header's turn in
// turnout when given.
void headerproblem(char* out, int32_t size, FILE* f, const char* gname, int32_t gamenbr, int32_t turnfile,
                   int32_t realm, int32_t* turnout);
// The damage that the current soft read found, as a damaged file is named:
// the reader's stop words and what they mean ("getfather: bad CHECK (a
// section does not end where it should)"), or "the file is damaged (the
// file ends early)" where the file ran out before any reader stopped.
void readdamage(char* out, int32_t size);
// True when something stands at the path that a reader would try: a file,
// a folder, a FIFO, a loop of symbolic links; false when nothing is there or
// a link leads nowhere (no such file).
bool filestands(const char* path);
// True when the file opens and reads to its end (or as far as the largest
// file of its kind); else false with why in the user's words ("no
// permission", "it is a FIFO, not a file", "its symbolic links go round in
// a loop", "Input/output error").
bool readsthrough(const char* path, std::string* why);
// The header checks on an open stream; 1 when accepted.
int checkfileheader(FILE* f, const char* gname, int32_t gamenbr, int32_t turnwanted, int32_t realm,
                    int32_t* turnout, char* passwordout, int32_t* reserved1, int32_t* reserved2);

extern int32_t storedcrc;
// The largest world, order, pretender (or, for ".trn", turn) file that our
// writers can make, with a margin: checkcrc refuses a larger file as
// corrupt without reading it.
int64_t largestgamefile(const char* path);
// Why the last checkcrc said 0: "larger than any such file", "cannot be
// read" (with crcreaderror the errno of the failure, else 0), "the file is
// empty", "too short" or "bad checksum".
extern const char* crcproblem;
extern int32_t crcreaderror;
extern const char* const CRCTOOLARGE;
extern const char* const CRCEMPTY;
int32_t calccrc(const uint8_t* buffer, int32_t length, int mode);
// A file read whole, at once: 0; FILEABSENT when nothing stands at the path
// (or a link leads nowhere); FILETOOLARGE, unread, when it is larger than
// limit; else the errno of the look, open, read or memory that failed
// (ENOTAFILE for a folder, a FIFO or a device).
constexpr int FILEABSENT = -1;
constexpr int FILETOOLARGE = -2;
int readwholefile(const char* path, int64_t limit, std::vector<uint8_t>& bytes);
// A game file that ends in a checksum (an order file), read once, whole, as
// readwholefile with largestgamefile's bound: 0 with a stream over its bytes
// in f; FILECORRUPT when the checksum does not fit (crcproblem says why);
// else what readwholefile says (ENOMEM too when there is no memory for the
// stream).
constexpr int FILECORRUPT = -3;
int readcheckedfile(const char* path, UniqueFile& f);
int32_t addcrc(const char* path);
int checkcrc(const char* path);
// The same check on bytes in memory (at least 2 bytes, else 0), with
// crcproblem set alike.
int checkcrcbuffer(const uint8_t* buffer, int32_t length);

// The "--verify" report of a game's order files and world file: the number
// of files that did not verify (could not be read, damaged, refused, or a
// missing world file) and, apart, of reports that could not be written,
// each named on standard output with the cause.
struct VerifyCount {
  int32_t failed = 0;
  int32_t unwritten = 0;
};
VerifyCount verifygamefiles(const char* gname);
// Runs the verify mode for the command line's game name; the exit status.
int verifymode();

// ---------------------------------------------------------------- replays
constexpr int32_t MAXVCR = 999;             // replay numbers 0..998 per player
constexpr int32_t VCRCHECKSTART = 88288;    // around the checksum block
constexpr int32_t VCRCHECKEND = 123678;
// vcrpath: VCR path, the file of a battle replay.
void vcrpath(char* path, int32_t size, int32_t player, int32_t n);
// The first replay number of the player not in use, or -1 when all are.
int32_t freevcrnumber(int32_t player);
void removevcrs();
void writevcrmarker(FILE* f);   // "_vcr_VCR"
// 1 with the stream just after "_vcr" of replay n (from 0), else 0.
int find_vcr(int32_t n, FILE* f);
bool readvcrmagic(FILE* f);     // "_VCR", else "bad vcr header"
void readvcrheader(int32_t* land, int32_t* defender, int32_t* attacker, FILE* f);
void write_checksums(FILE* f);
// The count stored, or -1 without a checksum block (the table is then all 0).
int32_t readchecksums(FILE* f);
// Appends the player's replays 0, 1, ... (up to 99) whole; how many.
int32_t appendvcrs(int32_t player, FILE* f);

// ---------------------------------------------------------------- pretender designs
constexpr int32_t NEWLORDSLOTS = 200;
constexpr int32_t NEWLORDEND = 123;
// The first free design slot of the nation, -1 when all 200 are taken.
int32_t newlordslot(int32_t nation);
// True when the nation has a design saved in that slot of "newlords".
bool newlordsaved(int32_t nation, int32_t slot);
// Existing designs among the slots; 0 once past slot 50 without any found.
int32_t countnewlords(int32_t nation);

// ---------------------------------------------------------------- records
// put_x writes record number n of its table; get_x reads into it. The *rec
// readers read into any record (staging) and report a soft failure.
int32_t unitrecordbytes();   // 51
// keeplinks KEEPSTATE: links kept, and the run-time state that the file
// has no place for (a unit's battle state and temp mark, a commander's
// scratch values) kept from the record read over.
constexpr int KEEPSTATE = 2;
void put_unit(int32_t unr, FILE* f);
// put_unit's bytes of the record, as fieldsinto gives them.
size_t unitbytes(const Unit& u, uint8_t* out, size_t room, bool* exact);
bool get_unitrec(Unit& u, FILE* f, int keeplinks);
void get_unit(int32_t unr, FILE* f, int keeplinks);
void put_com(int32_t cnr, FILE* f);
// filebody: the body number the file holds; c.body is set from it unless
// links are kept (and in files of version 286 and older).
bool get_comrec(Commander& c, FILE* f, int keeplinks, int32_t* filebody);
void get_com(int32_t cnr, FILE* f, int keeplinks);
void get_com_nu(int32_t cnr, FILE* f);
void put_kingdom(int32_t k, FILE* f);
bool get_kingdomrec(Kingdom& k, FILE* f);
void get_kingdom(int32_t k, FILE* f);
void put_spellstuff(int32_t p, FILE* f);
bool get_splstfrec(int16_t* book, int16_t* research, FILE* f);
void get_splstf(int32_t p, FILE* f);
void put_land(int32_t lnr, FILE* f);
bool getlandrec(Land& l, ProvGeo& g, FILE* f);
void getland(int32_t lnr, FILE* f);
void put_veyrances(int32_t p, FILE* f);
bool get_veyrec(VeyRec& v, FILE* f);
void get_veyrances(int32_t p, FILE* f);
void put_merc(int32_t n, FILE* f);
void get_merc(int32_t n, FILE* f);
void put_ench(int32_t e, FILE* f);
void get_ench(int32_t e, FILE* f);
void put_score(int32_t i, FILE* f);
void get_score(int32_t i, FILE* f);
void put_mess(int32_t m, FILE* f);
void get_mess(int32_t m, FILE* f);
void put_pmess(int32_t p, int32_t n, FILE* f);
bool get_pmessrec(PMess& m, FILE* f);
void get_pmess(int32_t p, int32_t n, FILE* f);
void put_gameinfo(FILE* f);
bool get_gameinforec(GameInfo& g, FILE* f);
void get_gameinfo(FILE* f);
void put_endstats(FILE* f);
void get_endstats(FILE* f);

// ---------------------------------------------------------------- whole files
// A player whose files carry a body: controller -2 or 1 and above.
bool inplay(int32_t player);
void putturndata(int32_t p, FILE* f);
void getturndata(int32_t p, FILE* f);
void getturninfo(FILE* f);
void put2hdata(int32_t p, FILE* f);
void get2hdata(int32_t p, FILE* f, int keeplinks);
// The player's order file for the turn, the one writer of its bytes (a new
// file renamed over the old one). False, the cause in errno and the old
// file left whole, when it could not be written: the player is told and
// the turn goes on, where a stop would lose the month's orders.
bool write2hfile(int32_t p, const char* gname, int32_t turnnbr, int32_t gamenbr);
// True when the player's order file for the turn holds the orders as they
// stand, byte for byte as write2hfile would write them now (nothing would
// be lost without writing them); false when it differs, is damaged or
// cannot be read.
bool orderfileholds(int32_t p, const char* gname, int32_t turnnbr, int32_t gamenbr);
void putfatherland(FILE* f);
void getfatherland(FILE* f);
// The host's whole files: "ftherlnd", and a player's ".trn" with the player's
// replays and the checksum. False when the file could not be put in place
// (the old file then stays as it was).
bool writeworldfile(const char* gname, int32_t gamenbr, int32_t turnnbr);
bool writeturnfile(int32_t p, const char* gname, int32_t gamenbr, int32_t turnnbr);
// Reads "ftherlnd" whole, the game's master password from its header; 0
// when its header is refused. A damaged body stops the program, naming the
// file.
int loadworldfile(const char* gname, int32_t gamenbr, int32_t* turnout);
// The same without ever stopping: 0 with the cause in why (as
// gamefileproblem words it, or "the file is damaged (WHY)" for its body),
// also when the body reads but does not hold together (worldfault).
int readworldfile(const char* gname, int32_t* turnout, char* why, int32_t size);
// Why the world in memory does not hold together, in words ("commander 12
// and its body, unit 40, do not point at each other"); "" when it does.
// Level 0 looks at the counts and every commander's body; level 1 also at
// every living unit (type, owner, province, commander) and province.
std::string worldfault(int32_t level);
// The host's order loader: 1 when the player's orders were applied; 0 when
// the file was missing or defective in any way, which changes nothing in
// the world and gives the player a "Stale Turn" message; -1, changing
// nothing, when a file stands there but cannot be read (any look at it,
// open or read of it that fails, or no memory for it; a folder, a FIFO, a
// loop of links): the host does not guess that the player did not play.
// The file is read once, whole.
int loadorders(int32_t p, const char* gname, int32_t gamenbr, int32_t turnwanted);
// Why the last refused order file was refused, as a short word (for the
// log and tests: "missing", "checksum", "header", "password", ...).
const char* lastorderrefusal();
// The same in the host operator's words ("there is no order file", "the
// orders are for turn 3, the game is at turn 4"), from the one read.
const char* orderrefusalwords();
// Why the last order file that loadorders could not read cannot be read.
const char* unreadableorders();

// ---------------------------------------------------------------- pretender design bodies
// Writes commander cnr (with its body and the veyrance record 0) as a
// design of the nation: game name "newlords" into the slot of the
// "newlords" folder, any other into that game's folder. The path into
// pathout (PATHLEN bytes) when given; false when the file could not be
// written (an old file then stays as it was).
bool writenewlordfile(const char* gname, int32_t nation, int32_t slot, int32_t cnr, const char* pass, char* pathout);
// The same into the first free slot; a failure stops the program.
void writenewlord(const char* gname, int32_t nation, int32_t cnr, const char* pass);
int loadnewlord(const char* gname, int32_t nation, int32_t cnr, int32_t unr, char* pass, int32_t slot);

// ---------------------------------------------------------------- replay and set-aside bodies
constexpr int32_t SETASIDECHECK = 5533;
// crvcr: create VCR, the battle replay (recorded like a video cassette).
// Opens the player's next replay and writes the battle's set-up; none when
// all replay numbers are taken.
GameFile crvcr(int32_t player, int32_t lnr, int32_t defender, int32_t attacker, int32_t castle, int32_t seed,
               int32_t v1, int32_t v2, int32_t v3);
// Appends the checksum block and puts the replay in place.
void closevcr(GameFile file);
// readvcr: read VCR, a battle replay.
int readvcr(int32_t* lnr, int32_t* defender, int32_t* attacker, int32_t* castle, int32_t* seed, int32_t* values,
            int whole, FILE* f);
void saveforces(int32_t lnr, FILE* f);
// loadfor: load forces.
int loadfor(FILE* f, int keeplinks = 0);
// "tmp_fl" in the temp folder: every force outside the land, and back
// (read over the records with keeplinks as loadfor). A file that cannot
// be written stops the program with "sf: Write error! Disc full?", the
// file and the cause.
void setforcesaside(int32_t lnr);
int takeforcesback(int keeplinks = 0);
