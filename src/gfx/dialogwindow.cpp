// The standard dialogs as windows: each rebuilds its window every pass and
// acts on the id that the frame returns.
#include "gfx/dialogwindow.h"

#include <cstring>
#include <string>

#include "gfx/gfx.h"
#include "gfx/gui.h"
#include "gfx/guistate.h"
#include "runtime/progress.h"
#include "runtime/util.h"

namespace {
void okrow(bool cancel) {
  guispace(8);
  guisetnl(0);
  guibutton(DLG_OK, cancel ? "Ok" : "  Ok  ");
  if (cancel) {
    guibutton(0, "      ");
    guibutton(DLG_CANCEL, "Cancel");
  }
  guisetnl(1);
}
}  // namespace

int windowmsgbox(const char* text) {
  auto build = [&] {
    guidialogbegin();
    guimaxwidth(520);
    guiminwidth(240);
    {
      GuiTextScale small(0.85f);
      guitextlong(0, text);
    }
    okrow(false);
    for (int32_t key : {KEY_RETURN, KEY_KP_ENTER, KEY_ESCAPE}) guishortcut(DLG_OK, key);
    guishow(-1, -1);
  };
  while (guimodal(build) != DLG_OK) {}
  return 1;
}

int32_t windowtextinfobox(const char* title, const char* text, int32_t cancelid) {
  for (;;) {
    guidialogbegin();
    guititle("%s", title);
    guicloseid(cancelid);
    guimaxwidth(600);
    guimaxheight(500);
    guialign(GUIALIGN_LEFT);
    guiscrollstart();
    {
      GuiTextScale small(0.8f);
      guitextlong(0, text);
    }
    if (cancelid) {
      guialign(GUIALIGN_CENTRE);
      guispace(8);
      guibutton(cancelid, "Cancel");
      guishortcut(cancelid, KEY_ESCAPE);
    }
    guishow(-1, -1);
    int32_t id = render_frame(cancelid != 0, Scene::none);
    if (!cancelid || id == cancelid) return cancelid;
  }
}

int windowconfirmbox(const char* text) {
  auto build = [&] {
    guidialogbegin();
    guimaxwidth(520);
    guiminwidth(260);
    {
      GuiTextScale small(0.9f);
      guitextlong(0, text);
    }
    guispace(8);
    guisetnl(0);
    guibutton(DLG_OK, "Yes");
    guibutton(0, "      ");
    guibutton(DLG_CANCEL, "Cancel");
    guisetnl(1);
    guishortcut(DLG_OK, KEY_RETURN);
    guishortcut(DLG_OK, KEY_KP_ENTER);
    guishortcut(DLG_OK, 'y');
    guishortcut(DLG_CANCEL, KEY_ESCAPE);
    guishortcut(DLG_CANCEL, 'n');
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == DLG_OK) return 1;
    if (id == DLG_CANCEL) return 0;
  }
}

int32_t windowsafequestion(const char* title, const char* question, const char* yeslabel, const char* savelabel,
                           const char* cancellabel) {
  auto build = [&] {
    guidialogbegin();
    // A title bar, with its close box, only for a title: an empty bar reads
    // as something missing.
    if (title[0]) {
      guititle("%s", title);
      guicloseid(DLG_CANCEL);
    }
    guimaxwidth(560);
    guiminwidth(300);
    {
      GuiTextScale small(0.9f);
      guitextlong(0, question);
    }
    guispace(8);
    guisetnl(0);
    if (savelabel) {
      guibutton(DLG_SAVE, "%s", savelabel);
      guibutton(0, "    ");
    }
    guibuttoncol(DLG_YES, "%s", 1, 0.55f, 0.45f, 1, yeslabel);
    guibutton(0, savelabel ? "    " : "      ");
    guibuttoncol(DLG_CANCEL, "%s", 1, 0.85f, 0.45f, 1, cancellabel);
    guiinfo("Nothing is lost (Return, Escape)");
    guisetnl(1);
    for (int32_t key : {KEY_RETURN, KEY_KP_ENTER, KEY_ESCAPE, int32_t('n')}) guishortcut(DLG_CANCEL, key);
    if (savelabel) guishortcut(DLG_SAVE, 's');
    guishow(-1, -1);
  };
  for (;;) {
    switch (guimodal(build)) {
      case DLG_YES: return ASK_YES;
      case DLG_SAVE:
        if (savelabel) return ASK_SAVE;
        break;
      case DLG_CANCEL: return ASK_CANCEL;
      default: break;
    }
  }
}

namespace {
// The text field of the input dialogs: opens with the buffer's text, edits
// with the cursor keys, Backspace and Delete; Enter is Ok and Escape Cancel
// when allowed. `digits` takes digits only (1), and a minus sign first (2).
// A note is shown under the field: in red when it tells of a wrong entry;
// a hint (what the field holds) in pale yellow, turning red while a typed
// character does not fit. A secret field shows a star for each character.
enum class Note { warning, hint };
int editfield(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed, int32_t digits,
              const char* note, Note kind = Note::warning, bool secret = false) {
  std::vector<char> edit(size_t(maxlen) + 1, 0);
  strlcopy(edit.data(), buffer, size_t(maxlen) + 1);
  int32_t length = int32_t(strlen(edit.data())), cursor = length;
  bool overflow = false;
  for (;;) {
    guidialogbegin();
    guimaxwidth(600);
    guiminwidth(300);
    {
      GuiTextScale small(0.9f);
      guitextlong(0, title);
      guispace(2);
    }
    const std::string stars(secret ? strlen(edit.data()) : 0, '*');
    guiinputfield(DLG_FIELD, secret ? stars.c_str() : edit.data(), cursor, imin(42, imax(maxlen, 8)));
    if (note && note[0]) {
      GuiTextScale small(0.8f);
      if (kind == Note::warning || overflow) guibuttoncol(0, "%s", 1, 0.45f, 0.35f, 1, note);
      else guibuttoncol(0, "%s", 1, 0.95f, 0.7f, 1, note);
    }
    okrow(cancelallowed != 0);
    guishortcut(DLG_OK, KEY_RETURN);
    guishortcut(DLG_OK, KEY_KP_ENTER);
    if (cancelallowed) guishortcut(DLG_CANCEL, KEY_ESCAPE);
    guishow(-1, -1);
    int32_t id = render_frame(true, Scene::none);
    if (id == DLG_OK) {
      strlcopy(buffer, edit.data(), size_t(maxlen) + 1);
      return 1;
    }
    if (id == DLG_CANCEL && cancelallowed) {
      buffer[0] = 0;
      return 0;
    }
    if (id != DLG_FIELD || guikeysym == 0) continue;
    overflow = false;
    char* text = edit.data();
    switch (guikeysym) {
      case KEY_BACKSPACE:
        if (cursor > 0) {
          memmove(text + cursor - 1, text + cursor, size_t(length - cursor + 1));
          cursor--;
          length--;
        }
        break;
      case KEY_DELETE:
        if (cursor < length) {
          memmove(text + cursor, text + cursor + 1, size_t(length - cursor));
          length--;
        }
        break;
      case KEY_LEFT: cursor = imax(0, cursor - 1); break;
      case KEY_RIGHT: cursor = imin(length, cursor + 1); break;
      case KEY_HOME: cursor = 0; break;
      case KEY_END: cursor = length; break;
      default: {
        const int32_t c = guikeychar;
        const bool digit = c >= '0' && c <= '9', minus = digits == 2 && c == '-' && cursor == 0 && text[0] != '-';
        const bool takes = digits == 0 ? c != 0 : digit || minus;
        if (takes && length < maxlen) {
          memmove(text + cursor + 1, text + cursor, size_t(length - cursor + 1));
          text[cursor++] = char(c);
          length++;
        } else if (takes) {
          overflow = true;
        }
        break;
      }
    }
  }
}
}  // namespace

int windowinputstring(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed) {
  return editfield(title, buffer, maxlen, cancelallowed, 0, "");
}

int windowfield(const char* title, char* buffer, int32_t maxlen, int32_t cancelallowed, const char* note,
                int32_t secret) {
  return editfield(title, buffer, maxlen, cancelallowed, 0, note, Note::hint, secret != 0);
}

int windownumber(const char* title, char* buffer, int32_t maxlen, int32_t negative, const char* note) {
  return editfield(title, buffer, maxlen, 1, negative ? 2 : 1, note);
}

int windowadjustvaluebox(const char* title, const char* text, const char* hint, int32_t value, int32_t mayraise,
                         int32_t maylower) {
  guidialogbegin();
  guititle("%s", title);
  guimaxwidth(520);
  guiminwidth(300);
  guitextscale(0.9f);
  guitextlong(0, text);
  guispace(8);
  guitextscale(1.3f);
  guisetnl(0);
  guibuttoncol(maylower ? DLG_LOWER : 0, "\xAB", 1, 1, 1, maylower ? 1.0f : 0.3f);
  guibutton(0, "   %d   ", value);
  guibuttoncol(mayraise ? DLG_RAISE : 0, "\xBB", 1, 1, 1, mayraise ? 1.0f : 0.3f);
  guisetnl(1);
  if (hint[0]) {
    guispace(2);
    guitextscale(0.7f);
    guishade(0.8f);
    guitextlong(0, hint);
    guishade(1);
  }
  guitextscale(1);
  okrow(false);
  for (int32_t key : {int32_t('+'), int32_t('u'), KEY_KP_PLUS}) guirepeatshortcut(DLG_RAISE, key);
  for (int32_t key : {int32_t('-'), int32_t('d'), KEY_KP_MINUS}) guirepeatshortcut(DLG_LOWER, key);
  for (int32_t key : {KEY_RETURN, KEY_KP_ENTER, KEY_ESCAPE}) guishortcut(DLG_OK, key);
  guishow(-1, -1);
  int32_t id = render_frame(true, Scene::none);
  if (id == DLG_OK) return 0;
  if (id == DLG_RAISE) return mayraise ? 1 : 2;
  if (id == DLG_LOWER) return maylower ? -1 : 2;
  return 2;
}

int32_t windowmenu(const MenuLine* lines, int32_t count) {
  auto build = [&] {
    guidialogbegin();
    guimaxheight(560);
    guimaxwidth(640);
    guiminwidth(GUIMENUWIDTH);
    guiscrollstart();
    for (int32_t i = 0; i < count; i++) guibutton(lines[i].id, "%s", lines[i].text);
    guishortcut(-1, KEY_ESCAPE);
    guishow(-1, -1);
  };
  for (;;) {
    const int32_t id = guimodal(build);
    if (id == -1 && guikeysym == KEY_ESCAPE) return 0;
    for (int32_t i = 0; i < count; i++)
      if (id > 0 && lines[i].id == id) return id;
  }
}

void windowprogressbox(const char* title, int32_t percent, const char* text) {
  guidialogbegin();
  guititle("%s", title);
  guiminwidth(360);
  guitextscale(0.85f);
  guibutton(0, "%s", text);
  guispace(2);
  guiprogressbar(0, 300, float(percent) / 100.0f, 0.85f, 0.6f, 0.25f, 1);
  guishow(-1, -1);
  render_frame(false, Scene::none);
}

void installwindowdialogs(int on) {
  static const Dialogs windowed = {windowmsgbox, windowconfirmbox, windowinputstring, windownumber, windowmenu,
                                   windowfield, windowsafequestion};
  setdialogs(on ? &windowed : nullptr);
  setprogressdraw(on ? windowprogressbox : nullptr);
}
