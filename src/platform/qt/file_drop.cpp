#include "platform/qt/file_drop.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace mixora {

FileDrop::FileDrop(QWidget& window, IRemotePlayer& player) : window_(&window), player_(player) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

FileDrop::~FileDrop() {
    // The window may be gone already: it is destroyed when Mixora closes.
    if (window_) {
        window_->removeEventFilter(this);
    }
}

bool FileDrop::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (drag->mimeData()->hasUrls()) {
            drag->acceptProposedAction();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        std::vector<std::string> items;
        for (const QUrl& url : drop->mimeData()->urls()) {
            // Local files as paths; anything else (a stream a browser
            // hands over) as the address it is.
            items.push_back(url.isLocalFile() ? url.toLocalFile().toStdString()
                                              : url.toString(QUrl::FullyEncoded).toStdString());
        }
        if (items.empty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // Taken once the drop is over, so the program it came from is not
        // kept waiting while folders are walked.
        const QPoint at = drop->position().toPoint();
        QMetaObject::invokeMethod(
            this,
            [this, items = std::move(items), at]() mutable {
                player_.Drop(std::move(items), {at.x(), at.y()});
            },
            Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

} // namespace mixora
