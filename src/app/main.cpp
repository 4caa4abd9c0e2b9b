#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>

#include "addresses/address_file.h"
#include "app/file_layout.h"
#include "app/history_retention.h"
#include "app/home_page.h"
#include "app/service_choice.h"
#include "app/shell_controller.h"
#include "app/skin.h"
#include "app/start_up.h"
#include "history/history_path.h"
#include "history/history_recorder.h"
#include "history/history_store.h"
#include "platform/qt_clipboard.h"
#include "platform/qt_message_box.h"
#include "platform/qt_save_dialog.h"
#include "platform/qt_text.h"
#include "platform/qt_translations.h"
#include "platform/settings_store.h"
#include "platform/user_folders.h"
#include "platform/user_settings.h"
#include "platform/xdg_opener.h"
#include "query/lookup.h"
#include "query/service_host.h"
#include "ui/address_editor_controller.h"
#include "ui/export_controller.h"
#include "ui/filter_controller.h"
#include "ui/history_controller.h"
#include "ui/main_window.h"
#include "ui/program_texts.h"
#include "ui/query_controller.h"
#include "ui/row_copy_controller.h"
#include "ui/row_menu_controller.h"
#include "ui/run_progress_display.h"
#include "ui/run_window_bridge.h"
#include "ui/source_settings_controller.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Qt's own dialogs and buttons in the program's language.
    InstallQtTranslations(app);
    const std::string programDirectory = ProgramDirectory();
    // Run from its own folder, the skin library goes to the current directory (which need not
    // be the program's); installed, url.txt and the library go to the user's folders.
    const FileLayout layout =
        ChooseFileLayout(programDirectory, WorkingDirectory(), UserFoldersFromEnvironment());
    CreateLayoutFolders(layout);
    Skin skin(programDirectory);
    PrepareSkinAt(skin, layout.skinLibraryFile);
    const HomePage homePage = ChooseHomePage(ZARKEL_HOME_PAGE, programDirectory);

    // The user's data-source settings; the environment overrides them.
    const SettingsStore settingsStore(UserConfigPath(), {kOprKeyName, kAizhanKeyName});
    const ConfigValues stored = settingsStore.Load();
    // Declared first, so that a service started here outlives the window and any run.
    ServiceChoice service = ChooseService(ServiceHost(), ServiceSettingsFromEnvironmentAnd(stored),
                                          LookupdBesideProgram(), ChildEnvironment(stored));

    UserSettings settings;
    // Outlives the window and any run: it writes what is queued when the program ends.
    HistoryStore history(HistoryFilePath(UserFoldersFromEnvironment()));
    ApplyHistoryRetention(history, HistoryKeepDays(settings),
                          static_cast<HistoryTime>(std::time(nullptr)));
    HistoryRecorder recorder(history);

    const AddressFile addresses(layout.addressDirectory);
    QtMessageBox box;
    XdgOpener opener;
    QtClipboard clipboard;
    MainWindow window;
    QtSaveDialog saveDialog(settings, ToQString(Text(kExportNameStem)), &window);
    new FilterController(window, box);
    new RowMenuController(window, {opener, clipboard, box, homePage});
    new RowCopyController(window, clipboard);
    new RunProgressDisplay(window, [] { return std::chrono::steady_clock::now(); });
    auto* editor = new AddressEditorController(window, box, addresses, settings);
    new ShellController(window, box, opener, homePage.address, EndProcessAtOnce);
    new SourceSettingsController(
        window, settingsStore, box,
        [&service](const ConfigValues& values) {
            // The program's own service takes the settings at once (the child is started
            // anew with them); a configured one elsewhere has its own.
            if (service.embedded) {
                service.embedded->Reconfigure(ServiceSettingsFromEnvironmentAnd(values));
            }
            if (service.child) service.child->SetEnvironment(ChildEnvironment(values));
        },
        [](const char* name) { return std::getenv(name); }, ChooseRankListFile);
    RunStartUpCreation(window, skin, box, *editor, addresses);
    HistoryController historyView(window, history, box);
    RunWindowBridge runWindow(window);
    ServiceLookup lookup(service);
    // Declared last, so that it goes first at the end: a run still going is abandoned then.
    QueryController queries(window, runWindow, addresses, lookup, {}, &recorder);
    new ExportController(window, saveDialog, box, opener,
                         [&queries] { return queries.IsRunActive(); });
    window.show();
    return QApplication::exec();
}
