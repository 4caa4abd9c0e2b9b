#pragma once

class AddressEditorController;
class AddressFile;
class MainWindow;
class MessageBoxRoutine;
class Skin;

// The main window's creation handler, run before the window is first shown: the skin, the
// address count, the url.txt note; when url.txt is missing an error and then the address
// editor, modal, so the user sees the main window only after it has closed; at the end the
// stop, export and clear-list buttons disabled.
void RunStartUpCreation(MainWindow& window, const Skin& skin, MessageBoxRoutine& messages,
                        AddressEditorController& editor, const AddressFile& addresses);
