#include "platform/qt/qt_accessible.h"

#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "platform/accessible_window.h"
#include "platform/qt/display_text.h"
#include "platform/qt/qt_window_host.h"

namespace mixora {
namespace {

QRect ToQRect(const RECT& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

class FrameAccessible;

// What every part of the window that is not a widget of its own answers
// alike: no object, no hit-testing below it, no text to set.
class PartAccessible : public QAccessibleInterface {
public:
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
};

// A part with nothing inside: a control or a playlist line.
class LeafAccessible : public PartAccessible {
public:
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

// One control of the skin, known by its id; everything else is asked of
// the host and the window each time, so it is never stale.
class ControlAccessible final : public LeafAccessible,
                                public QAccessibleActionInterface,
                                public QAccessibleValueInterface {
public:
    ControlAccessible(FrameAccessible& frame, int id) : frame_(frame), id_(id) {}

    bool isValid() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override {
        return State().slider ? QAccessible::Slider : QAccessible::Button;
    }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& name) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    QVariant currentValue() const override { return State().value; }
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override { return 1.0; }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.05; }

private:
    AccessibleControl State() const;
    // A slider moves by wheel notches over its middle: the same road as
    // the wheel, which moves it as a drag would.
    void Step(int notches) const;

    FrameAccessible& frame_;
    int id_;
};

// One playlist line, known by its index.
class LineAccessible final : public LeafAccessible {
public:
    LineAccessible(FrameAccessible& frame, int index) : frame_(frame), index_(index) {}
    bool isValid() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

private:
    FrameAccessible& frame_;
    int index_;
};

class ListAccessible final : public PartAccessible {
public:
    explicit ListAccessible(FrameAccessible& frame) : frame_(frame) {}
    bool isValid() const override { return true; }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? QStringLiteral("Playlist") : QString();
    }
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::List; }
    QAccessible::State state() const override { return {}; }

private:
    FrameAccessible& frame_;
};

// The frame widget: its children are the controls in the skin's order,
// then the playlist.
class FrameAccessible final : public QAccessibleWidget {
public:
    FrameAccessible(QWidget* widget, QtWindowHost& host)
        : QAccessibleWidget(widget, QAccessible::Client, QStringLiteral("Mixora")), host_(host),
          list_(new ListAccessible(*this)) {
        QAccessible::registerAccessibleInterface(list_);
    }
    ~FrameAccessible() override {
        for (auto& [id, c] : controls_) {
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(c));
        }
        for (auto& [index, l] : lines_) {
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(l));
        }
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(list_));
    }

    QtWindowHost& Host() const { return host_; }
    const IAccessibleWindow* Window() const { return host_.AccessibleSource(); }
    std::vector<AccessibleControl> Controls() const {
        return Window() ? Window()->AccessibleControls() : std::vector<AccessibleControl>{};
    }
    AccessiblePlaylist List() const {
        return Window() ? Window()->AccessibleList() : AccessiblePlaylist{};
    }
    QPoint FromScreen(const QPoint& p) const { return widget()->mapFromGlobal(p); }
    QRect ToScreen(const RECT& r) const {
        return QRect(widget()->mapToGlobal(QPoint(r.left, r.top)), ToQRect(r).size());
    }

    int childCount() const override { return static_cast<int>(Controls().size()) + 1; }
    QAccessibleInterface* child(int index) const override {
        const auto controls = Controls();
        if (index >= 0 && index < static_cast<int>(controls.size())) {
            return ControlFor(controls[static_cast<std::size_t>(index)].id);
        }
        return index == static_cast<int>(controls.size()) ? list_ : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == list_) {
            return static_cast<int>(Controls().size());
        }
        const auto controls = Controls();
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const auto it = controls_.find(controls[i].id);
            if (it != controls_.end() && it->second == child) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface* c = child(i);
            if (c && c->rect().contains(x, y)) {
                return c;
            }
        }
        return nullptr;
    }
    QAccessibleInterface* ListInterface() const { return list_; }
    QAccessibleInterface* ControlFor(int id) const {
        auto& slot = controls_[id];
        if (!slot) {
            slot = new ControlAccessible(const_cast<FrameAccessible&>(*this), id);
            QAccessible::registerAccessibleInterface(slot);
        }
        return slot;
    }
    QAccessibleInterface* LineFor(int index) const {
        auto& slot = lines_[index];
        if (!slot) {
            slot = new LineAccessible(const_cast<FrameAccessible&>(*this), index);
            QAccessible::registerAccessibleInterface(slot);
        }
        return slot;
    }
    int IndexOfLine(const QAccessibleInterface* line) const {
        for (const auto& [index, l] : lines_) {
            if (l == line) {
                return index;
            }
        }
        return -1;
    }

private:
    QtWindowHost& host_;
    ListAccessible* list_;
    // Registered with the toolkit, which owns them from then on; deleted
    // through it when the frame goes.
    mutable std::map<int, ControlAccessible*> controls_;
    mutable std::map<int, LineAccessible*> lines_;
};

AccessibleControl ControlAccessible::State() const {
    for (const AccessibleControl& c : frame_.Controls()) {
        if (c.id == id_) {
            return c;
        }
    }
    return {};
}

bool ControlAccessible::isValid() const {
    return State().id == id_;
}

QAccessibleInterface* ControlAccessible::parent() const {
    return const_cast<FrameAccessible*>(&frame_);
}

QString ControlAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Name) {
        return {};
    }
    for (const ToolInfo& tool : frame_.Host().Tools()) {
        if (tool.id == id_) {
            return DisplayString(tool.text, tool.encoding);
        }
    }
    return {};
}

QRect ControlAccessible::rect() const {
    for (const ToolInfo& tool : frame_.Host().Tools()) {
        if (tool.id == id_) {
            return frame_.ToScreen(tool.rect);
        }
    }
    return {};
}

QAccessible::State ControlAccessible::state() const {
    const AccessibleControl c = State();
    QAccessible::State s;
    s.checkable = c.twoState;
    s.checked = c.twoState && c.on;
    return s;
}

void* ControlAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ActionInterface) {
        return static_cast<QAccessibleActionInterface*>(this);
    }
    if (type == QAccessible::ValueInterface && State().slider) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return nullptr;
}

QStringList ControlAccessible::actionNames() const {
    if (State().slider) {
        return {increaseAction(), decreaseAction()};
    }
    return {pressAction()};
}

void ControlAccessible::Step(int notches) const {
    const QRect box = rect();
    const QPoint centre = frame_.FromScreen(box.center());
    const auto x = static_cast<std::uint16_t>(static_cast<std::int16_t>(centre.x()));
    const auto y = static_cast<std::uint16_t>(static_cast<std::int16_t>(centre.y()));
    frame_.Host().PostMessage(
        WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<std::uint16_t>(notches * WHEEL_DELTA)),
        static_cast<LPARAM>(static_cast<std::uint32_t>(x) | (static_cast<std::uint32_t>(y) << 16)));
}

void ControlAccessible::doAction(const QString& name) {
    const AccessibleControl c = State();
    if (!c.slider && name == pressAction()) {
        frame_.Host().PostMessage(WM_COMMAND, static_cast<WPARAM>(id_), 0);
    } else if (c.slider && (name == increaseAction() || name == decreaseAction())) {
        // "Increase" goes toward the right end of a horizontal slider and
        // the top of a vertical one, as the wheel turned away does.
        Step(name == increaseAction() ? 1 : -1);
    }
}

void ControlAccessible::setCurrentValue(const QVariant& value) {
    const AccessibleControl c = State();
    if (!c.slider) {
        return;
    }
    const double target = std::clamp(value.toDouble(), 0.0, 1.0);
    const int notches = static_cast<int>(std::lround((target - c.value) * 20.0));
    const bool vertical = rect().height() > rect().width();
    if (notches != 0) {
        Step(vertical ? -notches : notches);
    }
}

bool LineAccessible::isValid() const {
    return index_ < static_cast<int>(frame_.List().lines.size());
}

QAccessibleInterface* LineAccessible::parent() const {
    return frame_.ListInterface();
}

QString LineAccessible::text(QAccessible::Text t) const {
    const AccessiblePlaylist list = frame_.List();
    if (t != QAccessible::Name || index_ >= static_cast<int>(list.lines.size())) {
        return {};
    }
    return QString::fromUtf8(list.lines[static_cast<std::size_t>(index_)]);
}

QRect LineAccessible::rect() const {
    // The lines scroll; only the list's area is known for sure.
    return frame_.ToScreen(frame_.List().area);
}

QAccessible::State LineAccessible::state() const {
    const AccessiblePlaylist list = frame_.List();
    QAccessible::State s;
    s.selectable = true;
    s.selected = list.marked == index_;
    s.active = list.playing == index_;
    return s;
}

QAccessibleInterface* ListAccessible::parent() const {
    return &frame_;
}

int ListAccessible::childCount() const {
    return static_cast<int>(frame_.List().lines.size());
}

QAccessibleInterface* ListAccessible::child(int index) const {
    return index >= 0 && index < childCount() ? frame_.LineFor(index) : nullptr;
}

int ListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    return frame_.IndexOfLine(child);
}

QRect ListAccessible::rect() const {
    return frame_.ToScreen(frame_.List().area);
}

QAccessibleInterface* FrameFactory(const QString& className, QObject* object) {
    // The frame widget has no meta-object of its own: it is asked for
    // under its base class's name.
    if (className != QLatin1String("QWidget") || !object || !object->isWidgetType()) {
        return nullptr;
    }
    auto* frame = dynamic_cast<FrameWidget*>(static_cast<QWidget*>(object));
    return frame ? new FrameAccessible(frame, frame->Host()) : nullptr;
}

} // namespace

void InstallFrameAccessibility() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(FrameFactory);
    }
}

} // namespace mixora
