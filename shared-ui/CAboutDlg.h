#pragma once
#include <QDialog>
#include <QUrl>

#include <functional>
#include <vector>

class QLabel;

namespace sharedui {

class BitmapButton;
class DialogUnits;

// The About box of both programs: the version, the maker's mail link, the viewer's forum link
// and a Donate button. Enter, Escape and the close box end it.
class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    enum class Program { Viewer, Tagger };
    using UrlOpener = std::function<void(const QUrl&)>;

    // versionText follows the version label ("Sonoprobe ver 1.0.3").
    CAboutDlg(Program program, const QString& versionText, QWidget* owner);
    // Replaces the desktop's handler for the links (tests).
    void SetUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }

    static QUrl MailUrl(Program program);
    static QUrl WebUrl();
    static QUrl DonateUrl(Program program);

  protected:
    bool event(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Link {
        QRect area;
        QUrl url;
        QString tip;
    };

    void BuildControls(const QString& versionText, const DialogUnits& units);
    QLabel* AddText(const QString& text, const QRect& area, Qt::Alignment alignment);
    void AddLink(QLabel* label, const QUrl& url);
    void AddDonateButton(const QRect& area);
    const Link* LinkAt(const QPoint& point) const;

    Program program_;
    std::vector<Link> links_;
    UrlOpener openUrl_;
};

} // namespace sharedui
