#include <fcntl.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>

#include "runtime/fatal.h"
#include "runtime/folders.h"
#include "runtime/util.h"
#include "support/process.h"

namespace {
const std::string fixed = "N\xE5got gick fel!\n";

int count(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}
}  // namespace

TEST(Fatal, BailifTestsOnlyTheLow16Bits) {
  bailif(0, "never");
  bailif(65536, "never");
  bailif(int32_t(0x7FFF0000), "never");
  Ended e = runchild([] { bailif(0x10001, "getland: bad lnr"); });
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.err, fixed + "getland: bad lnr\n");
  EXPECT_EQ(e.out, fixed + "getland: bad lnr\n");
}

namespace {
// The place line of a stop called on `line` of this file in `function`: in
// the log, with -d.
std::string placeline(int line, const char* function) {
  return "where: tests/runtime/fatal_test.cpp:" + std::to_string(line) + ", " + function + "\n";
}
}  // namespace

// A stop shows the fixed line and the message alone; with -d the log names
// the place of the stop's caller.
TEST(Fatal, OnlyTheLogNamesThePlaceOfAStop) {
  Ended quiet = runchild([] { bailif(1, "getland: bad lnr"); });
  EXPECT_EQ(quiet.places, "");
  EXPECT_EQ(quiet.out, fixed + "getland: bad lnr\n");
  const int line = __LINE__ + 1;
  Ended plain = runchild([] { debuglevel = 1; bailif(1, "getland: bad lnr"); });
  EXPECT_EQ(plain.places, placeline(line, "operator()"));
  EXPECT_EQ(plain.err, fixed + "getland: bad lnr\n");
  Ended formatted = runchild([] { debuglevel = 1; bailif_fmt(1, "castspell: bad unr %d", 3); });
  EXPECT_EQ(formatted.places, placeline(line + 3, "operator()"));
  Ended direct = runchild([] { debuglevel = 1; fatalerror("boom"); });
  EXPECT_EQ(direct.places, placeline(line + 5, "operator()"));
  // A refusal of the user's wish is no fault: no place, as no normal end has.
  EXPECT_EQ(runchild([] { debuglevel = 1; failexit("no such map"); }).places, "");
  EXPECT_EQ(runchild([] { debuglevel = 1; fatalerror(""); }).places, "");
}

TEST(Fatal, FormattedMessage) {
  Ended e = runchild([] { bailif_fmt(1, "castspell: bad unr %d", 140000); });
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.err, fixed + "castspell: bad unr 140000\n");
  Ended quiet = runchild([] { bailif_fmt(65536, "x %d", 1); });
  EXPECT_TRUE(quiet.exited);
  EXPECT_EQ(quiet.code, 99);
}

TEST(Fatal, EmptyMessageEndsNormallyAndSilently) {
  Ended e = runchild([] { fatalerror(""); });
  EXPECT_TRUE(e.exited);
  EXPECT_EQ(e.code, 0);
  EXPECT_EQ(e.out, "");
  EXPECT_EQ(e.err, "");
}

TEST(Fatal, StandardOutputIsFlushedBeforeTheAbort) {
  Ended e = runchild([] {
    printf("pending text without a line end");
    fatalerror("stop");
  });
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.out, "pending text without a line end" + fixed + "stop\n");
}

namespace {
void failatexit() { fatalerror("inner"); }
}  // namespace

TEST(Fatal, SecondCallDuringShutdownPrintsItsCounter) {
  // The empty message of the first call prints nothing and exits; a failure
  // during that exit is the second nested call.
  Ended e = runchild([] {
    atexit(failatexit);
    fatalerror("");
  });
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.out, fixed + "inner\nN\xE5got gick fel +2 (inner)!\n");
  EXPECT_EQ(e.err, fixed + "inner\n");
}

namespace {
void againonabort(int) { fatalerror("again"); }
}  // namespace

TEST(Fatal, SixthNestedCallReturnsAtOnce) {
  Ended e = runchild([] {
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = againonabort;
    action.sa_flags = SA_NODEFER;
    sigaction(SIGABRT, &action, nullptr);
    fatalerror("first");
  });
  EXPECT_FALSE(e.exited);
  EXPECT_EQ(count(e.err, fixed), 5);
  EXPECT_EQ(count(e.out, "N\xE5got gick fel +5 (again)!\n"), 1);
  EXPECT_EQ(count(e.out, "+6"), 0);
}

TEST(Fatal, ShutdownRemovesOnlyATempFolderThisProcessMade) {
  for (int made = 0; made <= 1; made++) {
    TestDir dir;
    std::string temp = dir / "temp";
    mkdir(temp.c_str(), 0755);
    for (const char* name : {"tmp_fl", "tmpmon.trs", "0_0.vcr", "0_1.vcr", "94_0.vcr"}) writetext(temp + "/" + name, "x");
    Ended e = runchild([&] {
      strlcopy(temppath, temp.c_str(), PATHLEN);
      tempcreated = made;
      fatalerror("boom");
    });
    EXPECT_TRUE(e.aborted());
    EXPECT_EQ(exists(temp + "/tmp_fl"), !made);
    EXPECT_EQ(exists(temp + "/94_0.vcr"), !made);
    EXPECT_EQ(exists(temp), !made);
  }
}

TEST(Fatal, RemovingTempFilesLeavesForeignFilesAndTheFolder) {
  TestDir dir;
  std::string temp = dir / "temp";
  mkdir(temp.c_str(), 0755);
  writetext(temp + "/tmp_fl", "x");
  writetext(temp + "/2_0.vcr", "x");
  writetext(temp + "/2_2.vcr", "x");   // after a gap: not part of the numbered run
  writetext(temp + "/mine.txt", "x");
  strlcopy(temppath, temp.c_str(), PATHLEN);
  tempcreated = 1;
  removetmpfiles();
  tempcreated = 0;
  EXPECT_FALSE(exists(temp + "/tmp_fl"));
  EXPECT_FALSE(exists(temp + "/2_0.vcr"));
  EXPECT_TRUE(exists(temp + "/2_2.vcr"));
  EXPECT_TRUE(exists(temp + "/mine.txt"));
  EXPECT_TRUE(exists(temp));
}

TEST(Debug, EachLevelNeedsOneMoreSwitch) {
  for (int level = 0; level <= 3; level++) {
    debuglevel = level;
    testing::internal::CaptureStdout();
    debugprint("one %d|", 1);
    debugprint2("two %s|", "b");
    debugprint3("three|");
    std::string out = testing::internal::GetCapturedStdout();
    const char* expected[] = {"", "one 1|", "one 1|two b|", "one 1|two b|three|"};
    EXPECT_EQ(out, expected[level]) << "level " << level;
  }
  debuglevel = 0;
}

TEST(Debug, LongMessagesAreCutAt4999Characters) {
  debuglevel = 1;
  std::string longtext(6000, 'x');
  testing::internal::CaptureStdout();
  debugprint("%s", longtext.c_str());
  std::string out = testing::internal::GetCapturedStdout();
  debuglevel = 0;
  EXPECT_EQ(out.size(), 4999u);
  Ended e = runchild([&] { bailif_fmt(1, "%s", longtext.c_str()); });
  EXPECT_EQ(e.err, fixed + std::string(4999, 'x') + "\n");
}

TEST(Debug, LogToStreamAndRemoveLog) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  logtostream(0, "to out");
  logtostream(1, "to err");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "to out");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "to err");
  TestDir dir;
  char old[PATHLEN];
  ASSERT_TRUE(getcwd(old, sizeof old));
  ASSERT_EQ(chdir(dir.path.c_str()), 0);
  writetext("log.txt", "old log");
  removelog();
  EXPECT_FALSE(exists(dir / "log.txt"));
  removelog();   // a missing file is no error
  // The log that this run's output is redirected into stays.
  fflush(stdout);
  int saved = dup(STDOUT_FILENO);
  int fd = open("log.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  dup2(fd, STDOUT_FILENO);
  close(fd);
  removelog();
  dup2(saved, STDOUT_FILENO);
  close(saved);
  EXPECT_TRUE(exists(dir / "log.txt"));
  ASSERT_EQ(chdir(old), 0);
}

TEST(FatalDeathTest, GoogleTestSeesTheSameEnds) {
  EXPECT_EXIT(bailif(1, "getland: bad lnr"), testing::KilledBySignal(SIGABRT),
              "got gick fel!\ngetland: bad lnr\n$");
  EXPECT_EXIT(fatalerror(""), testing::ExitedWithCode(0), "^$");
  EXPECT_EXIT(bailif_fmt(7, "tcp_getpacket: bad connbr %d", 51), testing::KilledBySignal(SIGABRT),
              "tcp_getpacket: bad connbr 51\n$");
}

namespace {
// A box that stops again about the same unit while it is shown.
void boxthatstopsagain(int32_t unr) {
  printf("box %d\n", unr);
  showunitfatal(unr + 1);
  fatalerror("inside the box");
}
}  // namespace

TEST(Fatal, TheUnitHookRunsOnceAndNotInsideItself) {
  showunitfatal(3);   // no hook set: nothing
  Ended e = runchild([] {
    setunitfatalhook(boxthatstopsagain);
    showunitfatal(7);
  });
  EXPECT_TRUE(e.aborted());
  EXPECT_EQ(e.out, "box 7\n" + fixed + "inside the box\n");
  setunitfatalhook(nullptr);
}
