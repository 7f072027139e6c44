#pragma once
// Files, folders and playlists dropped on the window from a file manager or
// a browser. Watches the window's events from outside, so the window host
// needs no part in it.
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "platform/remote_player.h"

namespace mixora {

class FileDrop final : public QObject {
    Q_OBJECT
public:
    // Starts taking drops on `window`; `player` gets them with the point
    // they were dropped at, in the window's client coordinates.
    FileDrop(QWidget& window, IRemotePlayer& player);
    ~FileDrop() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    IRemotePlayer& player_;
};

} // namespace mixora
