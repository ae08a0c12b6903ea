#include "viewer/gui/CSonoprobeDlg.h"

#include "platform/CodePage.h"
#include "platform/ProgramPath.h"
#include "shared-ui/CAboutDlg.h"
#include "shared-ui/GetVersionText.h"
#include "shared-ui/ProductArt.h"
#include "viewer/ViewerSettings.h"
#include "viewer/gui/AudioFileDialog.h"
#include "viewer/gui/CMyDropTarget.h"
#include "viewer/gui/CShowTextDlg.h"
#include "viewer/gui/CWaitDlg.h"
#include "viewer/gui/InfoDialogTemplate.h"
#include "viewer/gui/TagCommands.h"
#include "viewer/update/UpdateChecker.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QTimer>
#include <QWindow>

namespace viewer {
namespace {

constexpr int MinimumWidth = 359;
constexpr int SmallestFont = 6;
constexpr int LargestFont = 12;

int Setting(const std::u16string& key, int defaultValue) {
    return ViewerSettings::ReadIntSetting(key, defaultValue);
}

void StartDetached(const QStringList& arguments) {
    // An argument vector, no shell. If the start fails the window closes all the same.
    QProcess::startDetached(QString::fromStdString(platform::ProgramPath()), arguments);
}

} // namespace

CSonoprobeDlg::CSonoprobeDlg(const std::u16string& filePath, bool textWindowFirst)
    : CMyDialog(QStringLiteral("Tahoma"), nullptr,
                Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                    Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                    Qt::WindowCloseButtonHint),
      textWindowFirst_(textWindowFirst),
      // Initialisation toggles both once, which restores and rewrites the stored state.
      alwaysOnTop_(Setting(u"AlwaysOnTop", 0) == 0),
      saveWindowPos_(Setting(u"SaveWindowPos", 0) == 0), startProgram_(StartDetached),
      askForFile_(AudioFileDialog::Ask) {
    fields_.FilePath = filePath;
    setObjectName(QStringLiteral("102"));
    CreateMenu();
    client_ = new QWidget(this);
    InfoDialogTemplate::Create(client_, Units());
    resize(Units().X(InfoDialogTemplate::Width),
           menuBar_->sizeHint().height() + Units().Y(InfoDialogTemplate::Height));
    new CMyDropTarget(this, [this](const QStringList& paths) { OnDrop(paths); });
    // The command keys work whichever control has the focus, like the menu's accelerators.
    qApp->installEventFilter(this);
}

CSonoprobeDlg::~CSonoprobeDlg() {
    // The check's thread reports to this window; it ends before the window does.
    updateChecker_.reset();
}

QAction* CSonoprobeDlg::AddCommand(QMenu* menu, int id, const QString& text,
                                   void (CSonoprobeDlg::*handler)()) {
    QAction* action = menu->addAction(text, this, handler);
    action->setObjectName(QString::number(id));
    commands_[id] = action;
    return action;
}

void CSonoprobeDlg::CreateMenu() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setNativeMenuBar(false);
    QMenu* file = menuBar_->addMenu(QStringLiteral("&File"));
    AddCommand(file, OpenAudioFile, QStringLiteral("&Open Audio File\tCtrl+O"),
               &CSonoprobeDlg::OnOpenAudioFile);
    file->addSeparator();
    AddCommand(file, AlwaysOnTop, QStringLiteral("Always on top"), &CSonoprobeDlg::OnAlwaysOnTop)
        ->setCheckable(true);
    AddCommand(file, SaveWindowPos, QStringLiteral("Save window position"),
               &CSonoprobeDlg::OnSaveWindowPos)
        ->setCheckable(true);
    AddCommand(file, ZoomIn, QStringLiteral("Zoom In\tNum +"), &CSonoprobeDlg::OnZoomIn);
    AddCommand(file, ZoomOut, QStringLiteral("Zoom Out\tNum -"), &CSonoprobeDlg::OnZoomOut);
    file->addSeparator();
    AddCommand(file, Exit, QStringLiteral("E&xit"), &CSonoprobeDlg::reject);
    QMenu* options = menuBar_->addMenu(QStringLiteral("&Options"));
    AddCommand(options, EditTags, QStringLiteral("&Edit Tags"), &CSonoprobeDlg::OnEditTags);
    AddCommand(options, CodepageForTags, QStringLiteral("Codepage for Non-UNICODE Tags"),
               &CSonoprobeDlg::OnCodepageForTags);
    options->addSeparator();
    AddCommand(options, ShowInfoAsText, QStringLiteral("&Show Info As Text\tCtrl+I"),
               &CSonoprobeDlg::OnShowInfoAsText);
    // "&Help" stands at the right end of the menu bar.
    auto* helpBar = new QMenuBar(menuBar_);
    helpBar->setNativeMenuBar(false);
    QMenu* help = helpBar->addMenu(QStringLiteral("&Help"));
    AddCommand(help, AutoCheckUpdate, QStringLiteral("&Auto check for updates at start"),
               &CSonoprobeDlg::OnAutoCheckUpdate)
        ->setCheckable(true);
    AddCommand(help, CheckUpdateNow, QStringLiteral("Check the &programm update now"),
               &CSonoprobeDlg::OnCheckUpdateNow);
    help->addSeparator();
    AddCommand(help, About, QStringLiteral("A&bout"), &CSonoprobeDlg::OnAbout);
    menuBar_->setCornerWidget(helpBar, Qt::TopRightCorner);
}

QAction* CSonoprobeDlg::CommandAction(int id) const {
    auto found = commands_.find(id);
    return found == commands_.end() ? nullptr : found->second;
}

CShowTextDlg* CSonoprobeDlg::TextWindow() const {
    return textWindow_;
}

QWidget* CSonoprobeDlg::Control(int id) const {
    return client_->findChild<QWidget*>(InfoDialogTemplate::Name(id));
}

bool CSonoprobeDlg::Initialize() {
    setWindowIcon(sharedui::ProductArt::ApplicationIcon());
    fontSize_ = Setting(u"FontSize", 9);
    CommandAction(ZoomOut)->setEnabled(fontSize_ != SmallestFont);
    CommandAction(ZoomIn)->setEnabled(fontSize_ != LargestFont);
    OnAlwaysOnTop();
    OnSaveWindowPos();
    versionText_ = sharedui::GetVersionText();
    setWindowTitle(QStringLiteral("Sonoprobe ver ") + versionText_);
    updateChecker_ = std::make_unique<UpdateChecker>(*this, versionText_.toStdU16String());
    if (!guiMode_ || LoadAudioFile(control_, fields_, this) != LoadResult::Loaded)
        return false;
    CloseUpEmptyTagRows();
    PlaceWindow();
    updateChecker_->StartAutomaticCheckIfEnabled();
    CommandAction(AutoCheckUpdate)->setChecked(UpdateChecker::AutoCheckEnabled());
    if (textWindowFirst_)
        QTimer::singleShot(0, this, &CSonoprobeDlg::OnShowInfoAsText);
    return true;
}

void CSonoprobeDlg::Run() {
    if (!Initialize())
        return;
    QTimer::singleShot(0, this, [this] {
        raise();
        activateWindow();
    });
    exec();
}

// Every empty tag row is hidden and what follows it moves up by one row.
void CSonoprobeDlg::CloseUpEmptyTagRows() {
    const auto& table = InfoDialogTemplate::TagRowTable();
    const int rowHeight = Control(1001)->y() - Control(1000)->y();
    int total = 0;
    for (size_t row = 0; row < 7; ++row) {
        auto* edit = qobject_cast<QLineEdit*>(Control(table[2 * row + 1]));
        if (!edit->text().isEmpty())
            continue;
        Control(table[2 * row])->hide();
        edit->hide();
        total += rowHeight;
        for (size_t below = 2 * row + 2; below < table.size(); ++below) {
            QWidget* control = Control(table[below]);
            control->move(control->x(), control->y() - rowHeight);
        }
    }
    QWidget* group = Control(InfoDialogTemplate::FileInfoGroup);
    group->resize(group->width(), group->height() - total);
    fixedHeight_ = height() - total;
}

void CSonoprobeDlg::PlaceWindow() {
    const int x = Setting(u"XPosition", -1);
    const int y = Setting(u"YPosition", -1);
    const int sizeX = Setting(u"SizeX", width() + 1);
    setMinimumWidth(MinimumWidth);
    setFixedHeight(fixedHeight_);
    if (saveWindowPos_ && !(x == -1 && y == -1)) {
        move(x, y);
        resize(std::max(sizeX, MinimumWidth), fixedHeight_);
    } else {
        resize(width(), fixedHeight_);
    }
}

// Fields and group boxes follow the window's right edge; labels stay as they are.
void CSonoprobeDlg::ArrangeControls() {
    const int menuHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, width(), menuHeight);
    client_->setGeometry(0, menuHeight, width(), height() - menuHeight);
    for (QWidget* child : client_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        int margin = qobject_cast<QLineEdit*>(child)   ? 15
                     : qobject_cast<QGroupBox*>(child) ? 5
                                                       : -1;
        if (margin >= 0)
            child->resize(client_->width() - margin - child->x(), child->height());
    }
}

void CSonoprobeDlg::resizeEvent(QResizeEvent* event) {
    CMyDialog::resizeEvent(event);
    ArrangeControls();
    if (isVisible())
        ViewerSettings::WriteIntSetting(u"SizeX", width());
}

void CSonoprobeDlg::moveEvent(QMoveEvent* event) {
    CMyDialog::moveEvent(event);
    if (isVisible() && saveWindowPos_) {
        ViewerSettings::WriteIntSetting(u"XPosition", x());
        ViewerSettings::WriteIntSetting(u"YPosition", y());
    }
}

std::optional<std::u16string> CSonoprobeDlg::AskForFile() {
    return askForFile_(isVisible() ? this : nullptr);
}

void CSonoprobeDlg::ShowWait() {
    waitWindow_ = std::make_unique<CWaitDlg>(this);
    waitWindow_->ShowNow();
}

void CSonoprobeDlg::ShowWait(bool waitWindow) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    waitCursor_ = true;
    if (waitWindow)
        ShowWait();
}

void CSonoprobeDlg::HideWait() {
    waitWindow_.reset();
    if (waitCursor_)
        QApplication::restoreOverrideCursor();
    waitCursor_ = false;
}

void CSonoprobeDlg::PostToWindow(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void CSonoprobeDlg::CloseViewer() {
    reject();
}

void CSonoprobeDlg::ShowFields(const AudioFileFields& fields, bool editTagsEnabled) {
    for (const InfoDialogTemplate::Row& row : InfoDialogTemplate::Rows())
        qobject_cast<QLineEdit*>(Control(row.editId))
            ->setText(QString::fromStdU16String(fields.*row.field));
    CommandAction(EditTags)->setEnabled(editTagsEnabled);
}

void CSonoprobeDlg::RelaunchWithFile(const std::u16string& path) {
    QString file = QString::fromStdU16String(path);
    // The new process reads a relative path that starts with "-" as a flag; a full path never.
    if (QFileInfo(file).isRelative())
        file = QDir::current().absoluteFilePath(file);
    startProgram_({file});
    reject();
}

void CSonoprobeDlg::done(int result) {
    delete textWindow_.data();
    CMyDialog::done(result);
}

void CSonoprobeDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    CMyDialog::keyPressEvent(event);
}

bool CSonoprobeDlg::IsOwnWindow(QObject* object, bool includeTextWindow) const {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return false;
    QWidget* window = widget->window();
    return window == this || (includeTextWindow && textWindow_ && window == textWindow_);
}

bool CSonoprobeDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !isVisible())
        return CMyDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (IsOwnWindow(watched, true) && HandleCommandKey(key))
        return true;
    return IsOwnWindow(watched, false) && HandleBrowseKey(key);
}

bool CSonoprobeDlg::HandleCommandKey(QKeyEvent* event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    if (control && event->key() == Qt::Key_O)
        OnOpenAudioFile();
    else if (control && event->key() == Qt::Key_I)
        OnShowInfoAsText();
    else if (keypad && event->key() == Qt::Key_Plus)
        OnZoomIn();
    else if (keypad && event->key() == Qt::Key_Minus)
        OnZoomOut();
    else
        return false;
    return true;
}

bool CSonoprobeDlg::HandleBrowseKey(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageUp:
        Browse(FolderBrowser::Key::PageUp);
        return true;
    case Qt::Key_PageDown:
        Browse(FolderBrowser::Key::PageDown);
        return true;
    case Qt::Key_Home:
        Browse(FolderBrowser::Key::Home);
        return true;
    case Qt::Key_End:
        Browse(FolderBrowser::Key::End);
        return true;
    default:
        return false;
    }
}

void CSonoprobeDlg::Browse(FolderBrowser::Key key) {
    std::optional<std::string> target =
        FolderBrowser::Target(platform::Utf16ToUtf8(fields_.FilePath), key);
    if (target)
        RelaunchWithFile(platform::Utf8ToUtf16(*target));
}

void CSonoprobeDlg::OnDrop(const QStringList& paths) {
    const QString shown = QString::fromStdU16String(fields_.FilePath);
    for (const QString& path : paths) {
        if (path.compare(shown, Qt::CaseInsensitive) != 0) {
            RelaunchWithFile(path.toStdU16String());
            return;
        }
    }
}

void CSonoprobeDlg::OnOpenAudioFile() {
    startProgram_({});
    reject();
}

void CSonoprobeDlg::ApplyTopmost() {
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, alwaysOnTop_);
    // Changing the flags of a shown widget would hide it (and end its modal loop); its native
    // window takes the change in place, without moving or sizing.
    if (QWindow* window = windowHandle()) {
        overrideWindowFlags(flags);
        window->setFlags(flags);
    } else {
        setWindowFlags(flags);
    }
}

void CSonoprobeDlg::OnAlwaysOnTop() {
    alwaysOnTop_ = !alwaysOnTop_;
    ViewerSettings::WriteIntSetting(u"AlwaysOnTop", alwaysOnTop_ ? 1 : 0);
    CommandAction(AlwaysOnTop)->setChecked(alwaysOnTop_);
    ApplyTopmost();
}

void CSonoprobeDlg::OnSaveWindowPos() {
    saveWindowPos_ = !saveWindowPos_;
    ViewerSettings::WriteIntSetting(u"SaveWindowPos", saveWindowPos_ ? 1 : 0);
    CommandAction(SaveWindowPos)->setChecked(saveWindowPos_);
}

void CSonoprobeDlg::OnZoomIn() {
    if (fontSize_ > LargestFont - 1)
        return;
    ++fontSize_;
    if (fontSize_ == LargestFont)
        CommandAction(ZoomIn)->setEnabled(false);
    ViewerSettings::WriteIntSetting(u"FontSize", fontSize_);
    RelaunchWithFile(fields_.FilePath);
}

void CSonoprobeDlg::OnZoomOut() {
    if (fontSize_ <= SmallestFont)
        return;
    --fontSize_;
    if (fontSize_ == SmallestFont)
        CommandAction(ZoomOut)->setEnabled(false);
    ViewerSettings::WriteIntSetting(u"FontSize", fontSize_);
    RelaunchWithFile(fields_.FilePath);
}

void CSonoprobeDlg::OnEditTags() {
    TagCommands::EditTags(*this);
}

void CSonoprobeDlg::OnCodepageForTags() {
    TagCommands::SelectCodepage(*this);
}

void CSonoprobeDlg::OnShowInfoAsText() {
    if (textWindow_) {
        textWindow_->raise();
        textWindow_->activateWindow();
        return;
    }
    textWindow_ = new CShowTextDlg(fields_, this, CShowTextDlg::Kind::Modeless);
    textWindow_->show();
}

void CSonoprobeDlg::OnAutoCheckUpdate() {
    CommandAction(AutoCheckUpdate)->setChecked(UpdateChecker::ToggleAutoCheck());
}

void CSonoprobeDlg::OnCheckUpdateNow() {
    if (updateChecker_)
        updateChecker_->CheckNow();
}

void CSonoprobeDlg::OnAbout() {
    sharedui::CAboutDlg about(sharedui::CAboutDlg::Program::Viewer, versionText_, this);
    about.exec();
}

} // namespace viewer
