#include "platform/qt/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/MirrorScope.h"
#include "platform/qt/Colours.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/Twips.h"
#include "platform/qt/WatchListWidget.h"

namespace tamberlyn {

namespace {

// Sets a widget's text only when it differs from what it shows: each set repaints, and
// some emit a signal of their own.
template <class Widget, class Shown>
void ShowText(Widget& widget, Shown (Widget::*shown)() const, void (Widget::*show)(const QString&),
              const std::string& text) {
    const QString wanted = toQString(text);
    if ((widget.*shown)() != wanted) (widget.*show)(wanted);
}

QFont toQFont(const FontSpec& wanted) {
    QFont font(toQString(wanted.family));
    font.setPointSizeF(wanted.points);
    font.setBold(wanted.bold);
    return font;
}

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint;

}  // namespace

MainWindow::MainWindow(Form1& form, const QtDesktop& desktop)
    : QWidget(nullptr, kWindowFlags),
      form_(form),
      desktop_(desktop),
      dpi_(QGuiApplication::primaryScreen()->logicalDotsPerInch()) {
    setObjectName(toQString(form_.window.name()));
    setFont(toQFont(kWindowFont));
    const QRect client = pixelsOf(form_.window);
    setFixedSize(client.size());
    setMouseTracking(true);

    widgets_.reserve(form_.controls().size());
    for (const FormControl& entry : form_.controls()) build(entry);
    for (std::size_t i = 0; i < widgets_.size(); ++i) {
        widgets_[i].entry->control->onChange = [this, i] { mirror(widgets_[i]); };
        mirror(widgets_[i]);
    }

    connect(&Timer1_, &QTimer::timeout, this, [this] { form_.Timer1_Timer(); });
    form_.Timer1.onChange = [this] { mirrorTimer(); };
    mirrorTimer();

    form_.window.onChange = [this] { mirrorWindow(); };
    form_.window.focusRequested = [this] {
        raise();
        activateWindow();
        // Shown again before Qt took in that the focus had left the hidden window, the
        // window still has the platform's focus, so Qt never makes it active again by itself.
        if (QGuiApplication::focusWindow() == windowHandle() && QApplication::activeWindow() != this) {
            QApplication::setActiveWindow(this);
        }
    };
    mirrorWindow();

    setTabOrderByTable();
}

MainWindow::~MainWindow() {
    for (const Shown& shown : widgets_) shown.entry->control->onChange = nullptr;
    form_.window.onChange = nullptr;
    form_.Timer1.onChange = nullptr;
    form_.window.focusRequested = nullptr;
}

QRect MainWindow::pixelsOf(const Control& control) const { return twipsToPixels(control.rect(), dpi_); }

QWidget* MainWindow::widgetOf(const Control* control) {
    if (control == nullptr) return this;
    for (const Shown& shown : widgets_) {
        if (shown.entry->control == control) return shown.widget;
    }
    throw std::logic_error("The form lists " + control->name() + " after a control inside it");
}

void MainWindow::build(const FormControl& entry) {
    const Control& control = *entry.control;
    QWidget* const parent = widgetOf(control.container());
    QWidget* widget = nullptr;
    switch (entry.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(parent);
            button->setFont(toQFont(kButtonFont));
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [click = entry.click] { click(); });
            widget = button;
            break;
        }
        case ControlKind::Frame: widget = new QGroupBox(parent); break;
        case ControlKind::TextBox: {
            auto* edit = new QLineEdit(parent);
            auto& state = entry.as<TextBox>();
            connect(edit, &QLineEdit::textEdited, this, [this, &state](const QString& text) {
                if (!mirroring_) state.setText(toUtf8(text));
            });
            // Enter in the box does what the default button says.
            connect(edit, &QLineEdit::returnPressed, this, [this] { pressDefaultButton(); });
            widget = edit;
            break;
        }
        case ControlKind::ListView: {
            auto* list = new WatchListWidget(parent);
            auto& state = entry.as<ListView>();
            // The form's list follows every change of the selection, by mouse or keys; only a
            // click copies the row into the text box.
            connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, list, &state] {
                if (!mirroring_) state.select(list->selectedPosition());
            });
            list->clicked = entry.click;
            list->doubleClicked = entry.doubleClick;
            list->keyDown = entry.keyDown;
            if (entry.mouseMove) {
                watchMouse(*list->viewport(), entry.mouseMove);
                watchMouse(*list->header(), entry.mouseMove);
            }
            widget = list;
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(parent);
            auto& state = entry.as<CheckBox>();
            connect(box, &QCheckBox::clicked, this, [this, box, &state](bool checked) {
                if (mirroring_) return;
                state.setValue(checked ? 1 : 0);
                mirrorCheckBox(*box, state);  // the form may have set it back
            });
            widget = box;
            break;
        }
    }
    widget->setObjectName(toQString(control.name()));
    widget->setGeometry(pixelsOf(control));
    if (entry.mouseMove) {
        watchMouse(*widget, entry.mouseMove);
    } else {
        widget->setAttribute(Qt::WA_NoMousePropagation);  // nor the surface's underneath
    }
    widgets_.push_back({&entry, widget});
}

void MainWindow::watchMouse(QWidget& widget, std::function<void()> mouseMove) {
    widget.setMouseTracking(true);
    widget.setAttribute(Qt::WA_NoMousePropagation);
    widget.installEventFilter(this);
    mouseMoves_[&widget] = std::move(mouseMove);
}

void MainWindow::pressDefaultButton() {
    for (const Shown& shown : widgets_) {
        if (shown.entry->defaultButton && shown.widget->isEnabled()) {
            shown.entry->click();
            return;
        }
    }
}

// The table is in tab order; frames take no focus.
void MainWindow::setTabOrderByTable() {
    QWidget* previous = nullptr;
    for (const Shown& shown : widgets_) {
        if (shown.entry->kind == ControlKind::Frame) continue;
        if (previous == nullptr) {
            firstInTabOrder_ = shown.widget;
        } else {
            QWidget::setTabOrder(previous, shown.widget);
        }
        previous = shown.widget;
    }
}

void MainWindow::showCentred() {
    const QRect area = screen()->availableGeometry();
    move(area.center() - rect().center());
    shown_ = true;
    mirrorWindowVisibility();
    firstInTabOrder_->setFocus();  // where the tab order starts, as the window opens
}

// --- mirrors -------------------------------------------------------------------------

void MainWindow::mirrorWindow() {
    const FormWindow& window = form_.window;
    const QString caption = toQString(window.caption());
    if (windowTitle() != caption) setWindowTitle(caption);
    if (window.icon().handle != mirroredIcon_) {
        mirroredIcon_ = window.icon().handle;
        setWindowIcon(desktop_.icon(mirroredIcon_));
    }
    mirrorBackColour(*this, window);
    mirrorPointer();
    mirrorWindowVisibility();
}

void MainWindow::mirrorWindowVisibility() {
    if (!shown_) return;
    MirrorScope scope(mirroring_);
    const FormWindow& window = form_.window;
    if (!window.visible()) {
        if (!isHidden()) hide();
        return;
    }
    if (window.state() == WindowState::Minimized) {
        if (isHidden() || !isMinimized()) showMinimized();
    } else if (isHidden() || isMinimized()) {
        showNormal();
    }
}

void MainWindow::mirrorPointer() {
    const FormWindow& window = form_.window;
    if (window.mousePointer() == mirroredPointer_ && window.mouseIcon() == mirroredMouseIcon_) return;
    mirroredPointer_ = window.mousePointer();
    mirroredMouseIcon_ = window.mouseIcon();
    if (mirroredPointer_ == kPointerCustom) {
        const std::optional<QCursor> loaded = desktop_.cursor(mirroredMouseIcon_);
        setCursor(loaded ? *loaded : QCursor(Qt::PointingHandCursor));
    } else {
        unsetCursor();  // the arrow
    }
}

void MainWindow::mirror(const Shown& shown) {
    const FormControl& entry = *shown.entry;
    switch (entry.kind) {
        case ControlKind::PushButton:
            mirrorButton(static_cast<QPushButton&>(*shown.widget), entry.as<PushButton>());
            break;
        case ControlKind::Frame: mirrorFrame(static_cast<QGroupBox&>(*shown.widget), entry.as<Frame>()); break;
        case ControlKind::TextBox: mirrorText(static_cast<QLineEdit&>(*shown.widget), entry.as<TextBox>()); break;
        case ControlKind::ListView:
            mirrorList(static_cast<WatchListWidget&>(*shown.widget), entry.as<ListView>());
            break;
        case ControlKind::CheckBox:
            mirrorCheckBox(static_cast<QCheckBox&>(*shown.widget), entry.as<CheckBox>());
            break;
    }
}

void MainWindow::mirrorButton(QPushButton& widget, const PushButton& control) {
    ShowText<QAbstractButton>(widget, &QAbstractButton::text, &QAbstractButton::setText, control.caption());
    mirrorVisible(widget, control);
}

void MainWindow::mirrorFrame(QGroupBox& widget, const Frame& control) {
    ShowText<QGroupBox>(widget, &QGroupBox::title, &QGroupBox::setTitle, control.caption());
    mirrorVisible(widget, control);
    mirrorBackColour(widget, control);
}

void MainWindow::mirrorCheckBox(QCheckBox& widget, const CheckBox& control) {
    MirrorScope scope(mirroring_);
    ShowText<QAbstractButton>(widget, &QAbstractButton::text, &QAbstractButton::setText, control.caption());
    const Qt::CheckState state = control.value() == 1 ? Qt::Checked : control.value() == 2 ? Qt::PartiallyChecked
                                                                                            : Qt::Unchecked;
    if (widget.checkState() != state) widget.setCheckState(state);
    mirrorVisible(widget, control);
    mirrorBackColour(widget, control);
}

void MainWindow::mirrorText(QLineEdit& widget, const TextBox& control) {
    MirrorScope scope(mirroring_);
    ShowText<QLineEdit>(widget, &QLineEdit::text, &QLineEdit::setText, control.text());
    mirrorVisible(widget, control);
}

void MainWindow::mirrorList(WatchListWidget& widget, const ListView& list) {
    MirrorScope scope(mirroring_);
    const QString header = toQString(list.columnHeader());
    if (widget.headerItem()->text(0) != header) widget.setHeaderLabels({header});
    const int width = twipsToPixels(list.columnWidth(), dpi_);
    if (widget.columnWidth(0) != width) widget.setColumnWidth(0, width);
    ShowText<QWidget>(widget, &QWidget::toolTip, &QWidget::setToolTip, list.toolTip());

    widget.showRows(list.rows(), list.rowsRevision());

    if (widget.selectedPosition() != list.selectedIndex()) {
        if (list.selectedIndex() == 0) {
            widget.selectionModel()->clear();
        } else {
            widget.setCurrentItem(widget.topLevelItem(list.selectedIndex() - 1));
        }
    }
    mirrorVisible(widget, list);
}

void MainWindow::mirrorTimer() {
    const Timer& timer = form_.Timer1;
    if (Timer1_.interval() != timer.interval()) Timer1_.setInterval(timer.interval());
    if (Timer1_.isActive() != timer.enabled()) {
        if (timer.enabled()) {
            Timer1_.start();
        } else {
            Timer1_.stop();
        }
    }
}

void MainWindow::mirrorBackColour(QWidget& widget, const Control& control) {
    const auto mirrored = mirroredBackColour_.find(&control);
    if (mirrored != mirroredBackColour_.end() && mirrored->second == control.backColour()) return;
    mirroredBackColour_[&control] = control.backColour();
    // Buttons, check boxes among them, fill with the Button role rather than Window.
    QPalette palette = widget.palette();
    palette.setColor(widget.backgroundRole(), toQColor(control.backColour()));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

void MainWindow::mirrorVisible(QWidget& widget, const Control& control) {
    if (widget.isHidden() == control.visible()) widget.setHidden(!control.visible());
}

// --- user events ---------------------------------------------------------------------

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !shown_ || mirroring_) return;
    // After the window system is done with the change: the form's answer may hide the
    // window and wait for the balloon.
    QMetaObject::invokeMethod(this, [this] { userMinimizedOrRestored(); }, Qt::QueuedConnection);
}

void MainWindow::userMinimizedOrRestored() {
    if (isHidden()) return;  // a hidden window's state is the form's own doing
    const WindowState state = isMinimized() ? WindowState::Minimized : WindowState::Normal;
    if (state == form_.window.state()) return;
    form_.window.setState(state);
    form_.Form_Resize();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The form's close sequence ends the process; until it does, the window stays.
    event->ignore();
    if (closing) closing();
    form_.Form_QueryUnload();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    form_.Surface_MouseMove();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        const auto found = mouseMoves_.find(static_cast<QWidget*>(watched));
        if (found != mouseMoves_.end()) found->second();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tamberlyn
