#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/ask.h"
#include "support/dialogscript.h"

TEST(Dialogs, MessageAndConfirmation) {
  DialogScript s("y\nno\n");
  EXPECT_EQ(msgbox("You have %d gold", 12), 1);
  EXPECT_EQ(confirmbox("Delete?"), 1);
  EXPECT_EQ(confirmbox("Delete?"), 0);
  EXPECT_EQ(confirmbox("Delete?"), 0);   // input ended
  EXPECT_NE(s.printed().find("You have 12 gold\n"), std::string::npos);
}

TEST(Dialogs, TheSafeQuestionLosesWorkOnlyOnAYes) {
  // y loses; s saves only where saving is offered; anything else, an empty
  // line and the end of the input keep the work.
  DialogScript s("y\ns\n\nyes please\nS\nq\n");
  EXPECT_EQ(safequestion("Delete Map?", "The files of Veyrmark are removed.", "Delete map"), ASK_YES);
  EXPECT_EQ(safequestion("", "Quit without saving this turn's orders?", "Quit without saving"), ASK_CANCEL);
  EXPECT_EQ(safequestion("", "Quit?", "Quit without saving", "Save and quit"), ASK_CANCEL);
  EXPECT_EQ(safequestion("", "Quit?", "Quit without saving", "Save and quit"), ASK_YES);
  EXPECT_EQ(safequestion("", "Quit?", "Quit without saving", "Save and quit"), ASK_SAVE);
  EXPECT_EQ(safequestion("", "Quit?", "Quit without saving", "Save and quit"), ASK_CANCEL);
  EXPECT_EQ(safequestion("", "Quit?", "Quit without saving", "Save and quit"), ASK_CANCEL);   // input ended
  const std::string p = s.printed();
  EXPECT_NE(p.find("Delete Map?\nThe files of Veyrmark are removed. (y = Delete map, n = Cancel): "), std::string::npos)
      << p;
  EXPECT_NE(p.find("Quit? (y = Quit without saving, s = Save and quit, n = Cancel): "), std::string::npos) << p;
}

TEST(Dialogs, InputStringKeepsToTheCallersMaximum) {
  DialogScript s("Ragnarok the Great\nshort\n");
  char buf[8];
  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(inputstring("Name", buf, 7, 1), 1);
  EXPECT_STREQ(buf, "Ragnaro");
  // The rest of the long line was consumed, so the next answer is in step.
  EXPECT_EQ(inputstring("Name", buf, 7, 1), 1);
  EXPECT_STREQ(buf, "short");
  EXPECT_EQ(inputstring("Name", buf, 7, 1), 0);   // end of input is Cancel
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(inputstring("Name", buf, 7, 0), 1);
  EXPECT_NE(s.printed().find("Name: "), std::string::npos);
}

TEST(Dialogs, InputNumberRangeAndCancel) {
  DialogScript s("42\n500\nabc\n-5\n");
  EXPECT_EQ(inputnumber(0, 100, "Tax"), 42);
  EXPECT_EQ(inputnumber(0, 100, "Tax"), -1);
  EXPECT_EQ(inputnumber(0, 100, "Tax"), -1);
  EXPECT_EQ(inputnumber(-10, 10, "Shift"), -5);
  EXPECT_EQ(inputnumber(0, 100, "Tax"), -2);
  EXPECT_EQ(inputnumber(-10, 10, "Shift"), -12);
}

TEST(Dialogs, MenuReturnsTheChosenId) {
  DialogScript s("0\n7\n2\n");
  menubegin();
  menuline(0, "This army is immobile");
  menuline(1, "remove immobile units");
  menuline(2, "stay still");
  menushow();
  EXPECT_EQ(menuwait(), 2);   // 0 and unknown ids are asked again
  EXPECT_EQ(menuwait(), 0);   // input ended
  const std::string p = s.printed();
  EXPECT_NE(p.find("1) remove immobile units"), std::string::npos);
  EXPECT_NE(p.find("   This army is immobile"), std::string::npos);
  menubegin();
  for (int i = 0; i < MENULINES + 5; i++) menuline(i + 1, "line");
}
