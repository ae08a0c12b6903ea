#include "viewer/gui/CMyDropTarget.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace viewer {
namespace {

QStringList LocalFiles(const QMimeData* data) {
    QStringList paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

void AnswerDrag(QDragMoveEvent* event, bool carriesFiles) {
    if (!carriesFiles) {
        event->ignore();
        return;
    }
    if (event->possibleActions() & Qt::MoveAction)
        event->setDropAction(Qt::MoveAction);
    event->accept();
}

} // namespace

CMyDropTarget::CMyDropTarget(QWidget* window, DropHandler onDrop)
    : QObject(window), onDrop_(std::move(onDrop)) {
    // Drops land on the window itself, whatever control is under the mouse.
    for (QWidget* child : window->findChildren<QWidget*>())
        child->setAcceptDrops(false);
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool CMyDropTarget::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto* drag = static_cast<QDragEnterEvent*>(event);
        dragCarriesFiles_ = !LocalFiles(drag->mimeData()).isEmpty();
        AnswerDrag(drag, dragCarriesFiles_);
        return true;
    }
    case QEvent::DragMove:
        AnswerDrag(static_cast<QDragMoveEvent*>(event), dragCarriesFiles_);
        return true;
    case QEvent::DragLeave:
        dragCarriesFiles_ = false;
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!dragCarriesFiles_) {
            drop->ignore();
            return true;
        }
        dragCarriesFiles_ = false;
        // A copy never leads the file manager to delete what it dragged.
        if (drop->possibleActions() & Qt::CopyAction) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
        } else {
            drop->ignore();
        }
        onDrop_(LocalFiles(drop->mimeData()));
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace viewer
