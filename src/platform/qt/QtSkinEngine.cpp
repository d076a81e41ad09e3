#include "platform/qt/QtSkinEngine.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QWidget>

#include "platform/PlatformError.h"
#include "platform/qt/QtStrings.h"

namespace tamberlyn {

namespace {

void paint(QWidget& widget, QPalette::ColorRole role, const std::optional<Rgb>& colour) {
    if (!colour) return;
    QPalette palette = widget.palette();
    palette.setColor(role, QColor(colour->red, colour->green, colour->blue));
    widget.setPalette(palette);
}

// A part's surface: the role the widget fills its background with (Button for check boxes).
void paintSurface(QWidget& widget, const std::optional<Rgb>& colour) {
    if (!colour) return;
    paint(widget, widget.backgroundRole(), colour);
    widget.setAutoFillBackground(true);
}

}  // namespace

void QtSkinEngine::loadSkin(const std::string& path, const std::string& /*iniFileName: one skin per file here*/) {
    QFile file(toQString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        throw PlatformError("The skin file " + path + " cannot be read: " + toUtf8(file.errorString()));
    }
    const QByteArray text = file.readAll();
    skin_ = ParseSkin(std::string(text.constData(), static_cast<std::size_t>(text.size())));
}

void QtSkinEngine::applyWindow(WindowHandle window) {
    QWidget* widget = QWidget::find(static_cast<WId>(static_cast<std::uint32_t>(window)));
    if (widget == nullptr) throw PlatformError("The skin cannot be applied: no such window");
    if (colours_) apply(*widget->window());
}

void QtSkinEngine::apply(QWidget& window) const {
    paintSurface(window, skin_.window);
    for (QGroupBox* frame : window.findChildren<QGroupBox*>()) {
        paintSurface(*frame, skin_.frame);
        paint(*frame, QPalette::WindowText, skin_.text);
    }
    for (QCheckBox* box : window.findChildren<QCheckBox*>()) {
        paintSurface(*box, skin_.checkBox);
        paint(*box, QPalette::WindowText, skin_.text);
    }
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        paint(*button, QPalette::Button, skin_.button);
        paint(*button, QPalette::ButtonText, skin_.buttonText);
    }
    for (QAbstractItemView* list : window.findChildren<QAbstractItemView*>()) {
        paint(*list, QPalette::Base, skin_.list);
        paint(*list, QPalette::Text, skin_.listText);
    }
}

}  // namespace tamberlyn
