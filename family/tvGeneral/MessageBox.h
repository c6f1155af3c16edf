// The family's modal message box, usable from any thread and in processes without a GUI.
#pragma once

#include <string_view>

namespace tvgeneral {

// Buttons (tvBtn*) outside Yes, No, OK and Cancel are ignored; a set without any of them
// gets an OK button, since a box without a button could not be closed.
//
// The answer a process without a GUI takes, and the button that Enter presses: OK when
// offered, else Yes, else No, else Cancel.
int DefaultAnswer(int buttons);
// The answer when the box is left without pressing a button (Esc, closing the window, the
// application quitting under it): the most cautious one offered, Cancel, else No, else OK,
// else Yes.
int EscapeAnswer(int buttons);

// Shows `text` with the icon of `kind` (tvMsg*) and the buttons of `buttons`, and returns
// the answer (tvRes*). With a QApplication the box is shown by its thread: a call from a
// worker thread waits while the main thread runs the box, and the rest of the program keeps
// running. Without a QApplication (headless mode, command-line tools, no application object
// at all) the text goes to standard error as one line, line breaks turned into blanks, and
// the default answer is returned.
int ShowMessage(std::string_view text, int kind, int buttons);

}  // namespace tvgeneral
