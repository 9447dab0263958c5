// The console forms of the dialogs, answered through the process's own
// standard input as a host operator at a terminal would.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "gfx/dialogs.h"
#include "runtime/ask.h"

TEST(ConsoleDialogs, AnswerThroughStandardInput) {
  int in[2], out[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(out), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    setdialoginput(nullptr);
    setdialogoutput(nullptr);
    char name[8];
    int failed = 0;
    failed |= (inputstring("Name", name, 7, 1) != 1 || strcmp(name, "Ragnaro") != 0) << 0;
    failed |= (inputnumber(1, 100, "Provinces") != 42) << 1;
    failed |= (adjustvaluebox("Buy Province Defence", "Defence 3", "", 3, 1, 1) != 1) << 2;
    failed |= (confirmbox("Delete Map?") != 1) << 3;
    menubegin();
    menuline(5, "five");
    menuline(7, "seven");
    menushow();
    failed |= (menuwait() != 7) << 4;
    failed |= (textinfobox("Title", "The text", 9) != 9) << 5;
    // Out of range: the range is said and the box asks again; an empty
    // answer keeps the current value.
    failed |= (inputnumberbox(5, 90, "Sea part", 30) != 30) << 7;
    failed |= (inputnumber(1, 100, "Provinces") != -2) << 6;   // the input has ended
    fflush(stdout);
    _exit(failed);
  }
  close(in[0]);
  close(out[1]);
  const char answers[] = "Ragnarok the Great\n42\n+\ny\n3\n7\n500\n\n";
  ASSERT_EQ(write(in[1], answers, sizeof answers - 1), ssize_t(sizeof answers - 1));
  close(in[1]);
  std::string printed;
  char buf[4096];
  ssize_t n;
  while ((n = read(out[0], buf, sizeof buf)) > 0) printed.append(buf, size_t(n));
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "failed answers (bits): " << WEXITSTATUS(status);
  EXPECT_NE(printed.find("Name: "), std::string::npos);
  EXPECT_NE(printed.find("Provinces: "), std::string::npos);
  EXPECT_NE(printed.find("Delete Map? (y/n): "), std::string::npos);
  EXPECT_NE(printed.find("7) seven"), std::string::npos);
  EXPECT_NE(printed.find("Title\nThe text\n"), std::string::npos);
  EXPECT_NE(printed.find("Sea part [30]: Give a number from 5 to 90.\nSea part [30]: "), std::string::npos);
}
