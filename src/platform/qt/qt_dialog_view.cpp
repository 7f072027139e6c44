#include "platform/qt/qt_dialog_view.h"

#include "platform/qt/display_text.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>
#include <algorithm>

namespace mixora {
namespace {

constexpr int kBytesRole = Qt::UserRole;

QString FromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToBytes(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Names end up as byte strings with a fixed room, so the limit counts the
// bytes of what is typed, not only its characters.
class ByteLimitValidator final : public QValidator {
public:
    ByteLimitValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}
    State validate(QString& input, int&) const override {
        return input.toUtf8().size() <= maxBytes_ ? Acceptable : Invalid;
    }

private:
    int maxBytes_;
};

// Dialog units to pixels: a quarter of the average character width across,
// an eighth of the line height down.
struct DialogScale {
    int baseX = 6;
    int baseY = 13;
    int X(int units) const { return (units * baseX + 2) / 4; }
    int Y(int units) const { return (units * baseY + 4) / 8; }
};

DialogScale ScaleFor(const QFont& font) {
    QFontMetrics metrics(font);
    static const QString kAlphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    DialogScale scale;
    scale.baseX = std::max(1, (metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2);
    scale.baseY = std::max(1, metrics.height());
    return scale;
}

} // namespace

void TemplateDialog::reject() {
    if (view_.ended_) {
        QDialog::reject();
        return;
    }
    view_.controller_.OnCommand(view_, kIdCancel);
}

QtDialogView::QtDialogView(const DialogTemplate& tmpl, IDialogController& controller,
                           QWidget* parent)
    : controller_(controller), dialog_(std::make_unique<TemplateDialog>(*this, parent)) {
    Build(tmpl);
}

QtDialogView::~QtDialogView() = default;

void QtDialogView::Build(const DialogTemplate& tmpl) {
    dialog_->setWindowTitle(FromBytes(tmpl.caption));
    const DialogScale scale = ScaleFor(dialog_->font());
    dialog_->setFixedSize(scale.X(tmpl.width), scale.Y(tmpl.height));

    for (const DialogControl& control : tmpl.controls) {
        QWidget* widget = nullptr;
        switch (control.kind) {
        case DialogControlKind::Static:
            widget = new QLabel(FromBytes(control.text), dialog_.get());
            break;
        case DialogControlKind::Edit:
            widget = new QLineEdit(FromBytes(control.text), dialog_.get());
            break;
        case DialogControlKind::ListBox: {
            auto* list = new QListWidget(dialog_.get());
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            sortedLists_[control.id] = control.sorted;
            if (control.notify) {
                const int id = control.id;
                QObject::connect(list, &QListWidget::itemSelectionChanged, dialog_.get(),
                                 [this, id] {
                                     if (!quiet_ && !ended_) {
                                         controller_.OnSelChange(*this, id);
                                     }
                                 });
            }
            widget = list;
            break;
        }
        case DialogControlKind::Button: {
            auto* button = new QPushButton(FromBytes(control.text), dialog_.get());
            button->setDefault(control.defaultButton);
            button->setAutoDefault(control.defaultButton);
            const int id = control.id;
            QObject::connect(button, &QPushButton::clicked, dialog_.get(), [this, id] {
                if (!ended_) {
                    controller_.OnCommand(*this, id);
                }
            });
            widget = button;
            break;
        }
        case DialogControlKind::RadioButton: {
            // The controller moves the mark (CheckRadioButton), as a dialog
            // procedure does, so Qt must not move it on its own.
            auto* radio = new QRadioButton(FromBytes(control.text), dialog_.get());
            radio->setAutoExclusive(false);
            const int id = control.id;
            QObject::connect(radio, &QRadioButton::clicked, dialog_.get(), [this, id, radio] {
                // A click on the marked one must not clear it.
                radio->setChecked(checked_[id]);
                if (!ended_) {
                    controller_.OnCommand(*this, id);
                }
            });
            widget = radio;
            break;
        }
        case DialogControlKind::GroupBox: {
            auto* box = new QGroupBox(FromBytes(control.text), dialog_.get());
            box->lower();
            widget = box;
            break;
        }
        }
        widget->setObjectName(QStringLiteral("item%1").arg(control.id));
        widget->setGeometry(scale.X(control.rect.left), scale.Y(control.rect.top),
                            scale.X(control.rect.right - control.rect.left),
                            scale.Y(control.rect.bottom - control.rect.top));
        items_.emplace(control.id, widget);
    }
}

int QtDialogView::Exec() {
    controller_.OnInitDialog(*this);
    if (!ended_) {
        dialog_->exec();
    }
    return result_;
}

QWidget* QtDialogView::Item(int id) const {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second;
}

QListWidget* QtDialogView::List(int id) const {
    return qobject_cast<QListWidget*>(Item(id));
}

void QtDialogView::Quietly(const std::function<void()>& change) {
    const bool was = quiet_;
    quiet_ = true;
    change();
    quiet_ = was;
}

void QtDialogView::SetWindowText(const std::string& text, TextEncoding encoding) {
    dialog_->setWindowTitle(DisplayString(text, encoding));
}

void QtDialogView::SetItemText(int id, const std::string& text, TextEncoding encoding) {
    QWidget* item = Item(id);
    const QString shown = DisplayString(text, encoding);
    if (auto* label = qobject_cast<QLabel*>(item)) {
        label->setText(shown);
    } else if (auto* edit = qobject_cast<QLineEdit*>(item)) {
        // Selected, as a dialog's edit is when it takes the focus: typing a
        // name replaces the suggested one instead of adding to it.
        edit->setText(shown);
        edit->selectAll();
    } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        button->setText(shown);
    } else if (auto* box = qobject_cast<QGroupBox*>(item)) {
        box->setTitle(shown);
    }
}

std::string QtDialogView::GetItemText(int id) const {
    QWidget* item = Item(id);
    if (auto* label = qobject_cast<QLabel*>(item)) {
        return ToBytes(label->text());
    }
    if (auto* edit = qobject_cast<QLineEdit*>(item)) {
        return ToBytes(edit->text());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        return ToBytes(button->text());
    }
    if (auto* box = qobject_cast<QGroupBox*>(item)) {
        return ToBytes(box->title());
    }
    return {};
}

void QtDialogView::CheckRadioButton(int firstId, int lastId, int id) {
    for (int i = firstId; i <= lastId; ++i) {
        if (auto* radio = qobject_cast<QRadioButton*>(Item(i))) {
            checked_[i] = i == id;
            radio->setChecked(i == id);
        }
    }
}

bool QtDialogView::IsButtonChecked(int id) const {
    auto* radio = qobject_cast<QRadioButton*>(Item(id));
    return radio != nullptr && radio->isChecked();
}

void QtDialogView::EnableItem(int id, bool enable) {
    if (QWidget* item = Item(id)) {
        item->setEnabled(enable);
    }
}

void QtDialogView::SetFocus(int id) {
    if (QWidget* item = Item(id)) {
        item->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(item)) {
            edit->selectAll();
        }
    }
}

void QtDialogView::SetEditLimit(int id, int maxChars) {
    if (auto* edit = qobject_cast<QLineEdit*>(Item(id))) {
        edit->setMaxLength(maxChars);
        edit->setValidator(new ByteLimitValidator(maxChars, edit));
    }
}

void QtDialogView::ResetContent(int id) {
    if (QListWidget* list = List(id)) {
        Quietly([list] { list->clear(); });
    }
}

int QtDialogView::AddString(int id, const std::string& text) {
    QListWidget* list = List(id);
    if (!list) {
        return -1;
    }
    int row = list->count();
    if (sortedLists_[id]) {
        // After the lines that sort before or equal to it.
        row = 0;
        while (row < list->count() && !ListBoxLess(text, GetText(id, row))) {
            ++row;
        }
    }
    auto* item = new QListWidgetItem(FromBytes(text));
    item->setData(kBytesRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    Quietly([&] { list->insertItem(row, item); });
    return row;
}

void QtDialogView::DeleteString(int id, int index) {
    QListWidget* list = List(id);
    if (!list || index < 0 || index >= list->count()) {
        return;
    }
    Quietly([&] { delete list->takeItem(index); });
}

int QtDialogView::GetCount(int id) const {
    QListWidget* list = List(id);
    return list ? list->count() : -1;
}

int QtDialogView::GetCurSel(int id) const {
    QListWidget* list = List(id);
    if (!list) {
        return -1;
    }
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.front());
}

void QtDialogView::SetCurSel(int id, int index) {
    QListWidget* list = List(id);
    if (!list) {
        return;
    }
    Quietly([&] {
        if (index < 0 || index >= list->count()) {
            list->clearSelection();
            list->setCurrentRow(-1);
        } else {
            list->setCurrentRow(index);
        }
    });
}

std::string QtDialogView::GetText(int id, int index) const {
    QListWidget* list = List(id);
    if (!list || index < 0 || index >= list->count()) {
        return {};
    }
    const QByteArray bytes = list->item(index)->data(kBytesRole).toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void QtDialogView::EndDialog(int result) {
    ended_ = true;
    result_ = result;
    dialog_->done(result);
}

int QtDialogRunner::DoModal(const DialogTemplate& tmpl, IDialogController& controller) {
    QtDialogView view(tmpl, controller, parent_ ? parent_() : nullptr);
    return view.Exec();
}

} // namespace mixora
