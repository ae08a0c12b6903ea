#pragma once
#include "viewer/AudioFileFields.h"
#include "viewer/CSonoprobeCtrl.h"
#include "viewer/FileLoader.h"
#include "viewer/gui/CMyDialog.h"
#include "viewer/gui/FolderBrowser.h"
#include "viewer/update/UpdateWindow.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QMenuBar;

namespace viewer {

class CShowTextDlg;
class CWaitDlg;
class UpdateChecker;

// The viewer's window: one file's information in read-only fields and the viewer's commands.
// It shows one file for its whole life; whatever would show another file, or needs the window
// rebuilt, starts a new process of the program and closes this one (RelaunchWithFile).
class CSonoprobeDlg : public CMyDialog, public FileLoadWindow, public UpdateWindow {
    Q_OBJECT
  public:
    // Menu command ids; they are the object names of the menu's actions.
    enum Command {
        OpenAudioFile = 57601,
        AlwaysOnTop = 32779,
        SaveWindowPos = 32780,
        ZoomIn = 32785,
        ZoomOut = 32786,
        Exit = 57665,
        EditTags = 32774,
        CodepageForTags = 32784,
        ShowInfoAsText = 32775,
        AutoCheckUpdate = 32781,
        CheckUpdateNow = 32782,
        About = 16,
    };
    // Starts a new process of the program with these arguments.
    using ProgramStarter = std::function<void(const QStringList& arguments)>;
    using FileAsker = std::function<std::optional<std::u16string>(QWidget* owner)>;

    CSonoprobeDlg(const std::u16string& filePath, bool textWindowFirst);
    ~CSonoprobeDlg() override;

    // False: created hidden, only to host the analysis (text-only mode).
    void SetGuiMode(bool guiMode) { guiMode_ = guiMode; }
    void SetProgramStarter(ProgramStarter starter) { startProgram_ = std::move(starter); }
    void SetFileAsker(FileAsker asker) { askForFile_ = std::move(asker); }

    // Restores the settings and, in GUI mode, loads and shows the file. False when the window
    // is not to be shown: hidden mode, or the user cancelled the file dialog.
    bool Initialize();
    // Window mode: initialise, show and run until the window closes.
    void Run();
    // Starts the program again for the file and closes this window.
    void RelaunchWithFile(const std::u16string& path);

    AudioFileFields& Fields() { return fields_; }
    CSonoprobeCtrl& Control() { return control_; }
    const QString& VersionText() const { return versionText_; }
    QAction* CommandAction(int id) const;
    CShowTextDlg* TextWindow() const;
    int FixedHeight() const { return fixedHeight_; }

    std::optional<std::u16string> AskForFile() override;
    void ShowWait() override;
    void HideWait() override;
    void ShowFields(const AudioFileFields& fields, bool editTagsEnabled) override;

    void PostToWindow(std::function<void()> call) override;
    void ShowWait(bool waitWindow) override;
    void CloseViewer() override;

    void done(int result) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void CreateMenu();
    QAction* AddCommand(QMenu* menu, int id, const QString& text, void (CSonoprobeDlg::*handler)());
    void CloseUpEmptyTagRows();
    void PlaceWindow();
    void ArrangeControls();
    void ApplyTopmost();
    bool HandleCommandKey(QKeyEvent* event);
    bool HandleBrowseKey(QKeyEvent* event);
    void Browse(FolderBrowser::Key key);
    void OnDrop(const QStringList& paths);
    bool IsOwnWindow(QObject* object, bool includeTextWindow) const;
    QWidget* Control(int id) const;

    void OnOpenAudioFile();
    void OnAlwaysOnTop();
    void OnSaveWindowPos();
    void OnZoomIn();
    void OnZoomOut();
    void OnEditTags();
    void OnCodepageForTags();
    void OnShowInfoAsText();
    void OnAutoCheckUpdate();
    void OnCheckUpdateNow();
    void OnAbout();

    AudioFileFields fields_;
    CSonoprobeCtrl control_;
    bool textWindowFirst_;
    bool guiMode_ = true;
    bool alwaysOnTop_;
    bool saveWindowPos_;
    int fontSize_ = 9;
    int fixedHeight_ = 0;
    QString versionText_;
    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    std::map<int, QAction*> commands_;
    QPointer<CShowTextDlg> textWindow_;
    std::unique_ptr<CWaitDlg> waitWindow_;
    bool waitCursor_ = false;
    std::unique_ptr<UpdateChecker> updateChecker_;
    ProgramStarter startProgram_;
    FileAsker askForFile_;
};

} // namespace viewer
