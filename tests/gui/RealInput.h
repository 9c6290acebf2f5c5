// Mouse, keyboard and screenshots for window journeys on a real X display.
//
// Every click and key is handed to Qt the way the xcb platform hands over
// what the X server reports: through QWindowSystemInterface, to the top-level
// window, at a position in it. Qt then finds the widget under the pointer,
// refuses input to windows blocked by a modal window and sends keys to the
// window's focus widget, exactly as for a person's input. A button pushed off
// its panel is therefore not clicked (whatever lies at that spot is), and a
// window left blocked takes nothing. QTest's widget overloads would deliver
// straight to the widget and skip all of that; this header is the only place
// that includes QTest in the journey tests, with QTEST_QPA_MOUSE_HANDLING set.
#pragma once

#define QTEST_QPA_MOUSE_HANDLING
#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <functional>

namespace realinput {

// Runs the event loop until `done` answers true or `ms` milliseconds passed;
// answers `done`'s last answer.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return done();
        QTest::qWait(10);
    }
    return true;
}

// Lets posted work (deferred deletes, queued updates, repaints) run.
inline void Settle() { QTest::qWait(30); }

inline QWindow* TopWindowOf(QWidget* widget) { return widget->window()->windowHandle(); }

// A left click at `at` (widget coordinates; the centre when omitted).
inline void Click(QWidget* widget, QPoint at = {}) {
    if (at.isNull()) at = widget->rect().center();
    QWindow* window = TopWindowOf(widget);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, window->mapFromGlobal(widget->mapToGlobal(at)));
    Settle();
}

// Presses the left button at `from` (widget coordinates), moves in small
// steps to the window point `to` and releases it there.
inline void Drag(QWidget* widget, QPoint from, QPoint toInWindow) {
    QWindow* window = TopWindowOf(widget);
    QPoint start = window->mapFromGlobal(widget->mapToGlobal(from));
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, start);
    const int steps = 12;
    for (int i = 1; i <= steps; ++i) QTest::mouseMove(window, start + (toInWindow - start) * i / steps);
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, toInWindow);
    Settle();
}

// One key (with modifiers) to the window that holds `widget`; it reaches the
// window's focus widget.
inline void Key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(TopWindowOf(widget), key, modifiers);
    Settle();
}

// Types `text` into the window that holds `widget`, one key press and
// release per character. Characters outside ASCII (Chinese) come as the key
// events the xcb platform makes of a keyboard that sends them: the key code
// is the character's upper-case code point and the event carries the text;
// QTest's own keyClicks only knows Latin-1 letters.
inline void Type(QWidget* widget, const QString& text) {
    QWindow* window = TopWindowOf(widget);
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(window, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, window, static_cast<Qt::Key>(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
        }
    }
    Settle();
}

// The visible top-level windows' area on the screen.
inline QRect WindowsArea() {
    QRect area;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && !w->isMinimized()) area |= w->frameGeometry();
    return area;
}

// Screenshots of what the X server shows, numbered in the order taken, as
// PNG files in one folder (emptied of earlier PNGs at the first shot).
class Screenshots {
public:
    explicit Screenshots(QString folder) : folder_(std::move(folder)) {}

    // Saves the part of the screen that the visible windows cover as
    // "NN-name.png"; answers the file's path (empty when nothing was saved).
    QString Take(const QString& name) {
        if (!cleared_) {
            QDir dir(folder_);
            dir.mkpath(".");
            for (const QString& old : dir.entryList({"*.png"}, QDir::Files)) dir.remove(old);
            cleared_ = true;
        }
        Settle();
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return {};
        QRect area = WindowsArea() & screen->geometry();
        if (area.isEmpty()) area = screen->geometry();
        QPixmap shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        QString file = QString("%1/%2-%3.png").arg(folder_).arg(++count_, 2, 10, QChar('0')).arg(name);
        return shot.save(file) ? file : QString();
    }

private:
    QString folder_;
    int count_ = 0;
    bool cleared_ = false;
};

}  // namespace realinput
