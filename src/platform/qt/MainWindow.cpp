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
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/qt/Colours.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtStrings.h"
#include "platform/qt/Twips.h"
#include "platform/qt/WatchListWidget.h"

namespace tamberlyn {

namespace {

QFont toQFont(const FontSpec& wanted) {
    QFont font(toQString(wanted.family));
    font.setPointSizeF(wanted.points);
    font.setBold(wanted.bold);
    return font;
}

// Marks widget changes made by a mirror, so their signals are not taken for the user's.
class MirrorScope {
public:
    explicit MirrorScope(bool& flag) : flag_(flag), previous_(std::exchange(flag, true)) {}
    ~MirrorScope() { flag_ = previous_; }
    MirrorScope(const MirrorScope&) = delete;
    MirrorScope& operator=(const MirrorScope&) = delete;

private:
    bool& flag_;
    bool previous_;
};

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint;

}  // namespace

MainWindow::MainWindow(Form1& form, const QtDesktop& desktop)
    : QWidget(nullptr, kWindowFlags),
      form_(form),
      desktop_(desktop),
      dpi_(QGuiApplication::primaryScreen()->logicalDotsPerInch()),
      PushButton2_(new QPushButton(this)),
      Frame2_(new QGroupBox(this)),
      Text1_(new QLineEdit(Frame2_)),
      PushButton1_(new QPushButton(Frame2_)),
      ListView1_(new WatchListWidget(this)),
      PushButton3_(new QPushButton(this)),
      PushButton4_(new QPushButton(this)),
      PushButton5_(new QPushButton(this)),
      PushButton6_(new QPushButton(this)),
      Frame1_(new QGroupBox(this)),
      Check6_(new QCheckBox(Frame1_)),
      Check8_(new QCheckBox(Frame1_)) {
    setObjectName(toQString(form_.window.name()));
    setFont(toQFont(kWindowFont));
    const QRect client = pixelsOf(form_.window);
    setFixedSize(client.size());
    setMouseTracking(true);

    const std::pair<QPushButton*, PushButton*> buttons[] = {
        {PushButton1_, &form_.PushButton1}, {PushButton2_, &form_.PushButton2}, {PushButton3_, &form_.PushButton3},
        {PushButton4_, &form_.PushButton4}, {PushButton5_, &form_.PushButton5}, {PushButton6_, &form_.PushButton6}};
    for (auto [widget, control] : buttons) {
        widget->setFont(toQFont(kButtonFont));
        widget->setAutoDefault(false);
        place(*widget, *control);
        watchMouse(*widget, true);
        QPushButton* button = widget;
        PushButton* state = control;
        control->onChange = [this, button, state] { mirrorButton(*button, *state); };
        mirrorButton(*widget, *control);
    }
    connect(PushButton1_, &QPushButton::clicked, this, [this] { form_.PushButton1_Click(); });
    connect(PushButton2_, &QPushButton::clicked, this, [this] { form_.PushButton2_Click(); });
    connect(PushButton3_, &QPushButton::clicked, this, [this] { form_.PushButton3_Click(); });
    connect(PushButton4_, &QPushButton::clicked, this, [this] { form_.PushButton4_Click(); });
    connect(PushButton5_, &QPushButton::clicked, this, [this] { form_.PushButton5_Click(); });
    connect(PushButton6_, &QPushButton::clicked, this, [this] { form_.PushButton6_Click(); });

    for (auto [widget, control] : {std::pair{Frame1_, &form_.Frame1}, std::pair{Frame2_, &form_.Frame2}}) {
        place(*widget, *control);
        watchMouse(*widget, false);
        QGroupBox* frame = widget;
        Frame* state = control;
        control->onChange = [this, frame, state] { mirrorFrame(*frame, *state); };
        mirrorFrame(*widget, *control);
    }

    place(*Text1_, form_.Text1);
    watchMouse(*Text1_, false);
    connect(Text1_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!mirroring_) form_.Text1.setText(toUtf8(text));
    });
    // Enter in the box does what the button below it says.
    connect(Text1_, &QLineEdit::returnPressed, this, [this] { form_.PushButton1_Click(); });
    form_.Text1.onChange = [this] { mirrorText(); };
    mirrorText();

    for (auto [widget, control] : {std::pair{Check6_, &form_.Check6}, std::pair{Check8_, &form_.Check8}}) {
        place(*widget, *control);
        // A check box's own mouse moves are none of the frame's.
        widget->setAttribute(Qt::WA_NoMousePropagation);
        QCheckBox* box = widget;
        CheckBox* state = control;
        control->onChange = [this, box, state] { mirrorCheckBox(*box, *state); };
        connect(widget, &QCheckBox::clicked, this, [this, box, state](bool checked) {
            if (mirroring_) return;
            state->setValue(checked ? 1 : 0);
            mirrorCheckBox(*box, *state);  // the form may have set it back
        });
        mirrorCheckBox(*widget, *control);
    }

    place(*ListView1_, form_.ListView1);
    watchMouse(*ListView1_, false);
    watchMouse(*ListView1_->viewport(), false);
    watchMouse(*ListView1_->header(), false);
    // The form's list follows every change of the selection, by mouse or keys; only a
    // click copies the row into the text box.
    connect(ListView1_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!mirroring_) form_.ListView1.select(ListView1_->selectedPosition());
    });
    ListView1_->clicked = [this] { form_.ListView1_Click(); };
    ListView1_->doubleClicked = [this] { form_.ListView1_DblClick(); };
    ListView1_->keyDown = [this](int key, int shift) { form_.ListView1_KeyDown(key, shift); };
    form_.ListView1.onChange = [this] { mirrorList(); };
    mirrorList();

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

    setTabOrderByIndex();
}

MainWindow::~MainWindow() {
    for (Control* control :
         std::initializer_list<Control*>{&form_.window, &form_.PushButton1, &form_.PushButton2, &form_.PushButton3,
                                         &form_.PushButton4, &form_.PushButton5, &form_.PushButton6, &form_.Frame1,
                                         &form_.Frame2, &form_.Text1, &form_.ListView1, &form_.Check6, &form_.Check8}) {
        control->onChange = nullptr;
    }
    form_.Timer1.onChange = nullptr;
    form_.window.focusRequested = nullptr;
}

QRect MainWindow::pixelsOf(const Control& control) const { return twipsToPixels(control.rect(), dpi_); }

void MainWindow::place(QWidget& widget, const Control& control) {
    widget.setObjectName(toQString(control.name()));
    widget.setGeometry(pixelsOf(control));
}

void MainWindow::watchMouse(QWidget& widget, bool pushButton) {
    widget.setMouseTracking(true);
    widget.setAttribute(Qt::WA_NoMousePropagation);
    widget.installEventFilter(this);
    mouseWatched_[&widget] = pushButton;
}

void MainWindow::setTabOrderByIndex() {
    std::vector<std::pair<int, QWidget*>> order = {
        {form_.ListView1.tabIndex(), ListView1_},     {form_.PushButton1.tabIndex(), PushButton1_},
        {form_.PushButton2.tabIndex(), PushButton2_}, {form_.PushButton3.tabIndex(), PushButton3_},
        {form_.PushButton4.tabIndex(), PushButton4_}, {form_.PushButton5.tabIndex(), PushButton5_},
        {form_.PushButton6.tabIndex(), PushButton6_}, {form_.Text1.tabIndex(), Text1_},
        {form_.Check6.tabIndex(), Check6_},           {form_.Check8.tabIndex(), Check8_}};
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1].second, order[i].second);
    firstInTabOrder_ = order.front().second;
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

void MainWindow::mirrorButton(QPushButton& widget, const PushButton& control) {
    const QString caption = toQString(control.caption());
    if (widget.text() != caption) widget.setText(caption);
    mirrorVisible(widget, control);
}

void MainWindow::mirrorFrame(QGroupBox& widget, const Frame& control) {
    const QString caption = toQString(control.caption());
    if (widget.title() != caption) widget.setTitle(caption);
    mirrorVisible(widget, control);
    mirrorBackColour(widget, control);
}

void MainWindow::mirrorCheckBox(QCheckBox& widget, const CheckBox& control) {
    MirrorScope scope(mirroring_);
    const QString caption = toQString(control.caption());
    if (widget.text() != caption) widget.setText(caption);
    const Qt::CheckState state = control.value() == 1 ? Qt::Checked : control.value() == 2 ? Qt::PartiallyChecked
                                                                                            : Qt::Unchecked;
    if (widget.checkState() != state) widget.setCheckState(state);
    mirrorVisible(widget, control);
    mirrorBackColour(widget, control);
}

void MainWindow::mirrorText() {
    MirrorScope scope(mirroring_);
    const QString text = toQString(form_.Text1.text());
    if (Text1_->text() != text) Text1_->setText(text);
    mirrorVisible(*Text1_, form_.Text1);
}

void MainWindow::mirrorList() {
    MirrorScope scope(mirroring_);
    const ListView& list = form_.ListView1;
    WatchListWidget& widget = *ListView1_;

    const QString header = toQString(list.columnHeader());
    if (widget.headerItem()->text(0) != header) widget.setHeaderLabels({header});
    const int width = twipsToPixels(list.columnWidth(), dpi_);
    if (widget.columnWidth(0) != width) widget.setColumnWidth(0, width);
    const QString toolTip = toQString(list.toolTip());
    if (widget.toolTip() != toolTip) widget.setToolTip(toolTip);

    if (list.rowsRevision() != shownRowsRevision_) mirrorRows();

    if (widget.selectedPosition() != list.selectedIndex()) {
        if (list.selectedIndex() == 0) {
            widget.selectionModel()->clear();
        } else {
            widget.setCurrentItem(widget.topLevelItem(list.selectedIndex() - 1));
        }
    }
    mirrorVisible(widget, list);
}

// Only the rows that differ, in one removal and one insertion: the rows around an edit keep
// their items, place and scrolling, and a long list is built once, not again at each edit.
void MainWindow::mirrorRows() {
    const std::vector<std::string>& rows = form_.ListView1.rows();
    WatchListWidget& widget = *ListView1_;
    std::size_t prefix = 0;
    while (prefix < rows.size() && prefix < shownRows_.size() && rows[prefix] == shownRows_[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < rows.size() - prefix && suffix < shownRows_.size() - prefix &&
           rows[rows.size() - 1 - suffix] == shownRows_[shownRows_.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::size_t removed = shownRows_.size() - prefix - suffix;
    if (removed == shownRows_.size() && removed > 0) {
        widget.clear();
    } else if (removed > 0) {
        widget.model()->removeRows(static_cast<int>(prefix), static_cast<int>(removed));
    }
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size() - suffix - prefix));
    for (std::size_t i = prefix; i < rows.size() - suffix; ++i) {
        items.append(new QTreeWidgetItem(QStringList{toQString(rows[i])}));
    }
    if (!items.isEmpty()) widget.insertTopLevelItems(static_cast<int>(prefix), items);

    const auto at = [this](std::size_t i) { return shownRows_.begin() + static_cast<std::ptrdiff_t>(i); };
    shownRows_.erase(at(prefix), at(prefix + removed));
    shownRows_.insert(at(prefix), rows.begin() + static_cast<std::ptrdiff_t>(prefix),
                      rows.end() - static_cast<std::ptrdiff_t>(suffix));
    shownRowsRevision_ = form_.ListView1.rowsRevision();
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
        const auto found = mouseWatched_.find(static_cast<QWidget*>(watched));
        if (found != mouseWatched_.end()) {
            if (found->second) {
                form_.PushButton_MouseMove();
            } else {
                form_.Surface_MouseMove();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tamberlyn
