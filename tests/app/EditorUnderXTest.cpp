// The run command of the README starts the editor on the demo song; under a real X server it stays up
// until it is asked to quit the way a desktop asks (the window manager's close request), then ends
// cleanly. The editor runs from a program folder of the test's own, with its own temporary root.
#include "OwnProgramFolder.h"
#include "core/ReadmeMarker.h"
#include "support/TestSupport.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#ifdef TOVA_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace {

#ifdef TOVA_HAVE_X11

// A private X server for one test.
class XServer {
public:
    bool start() {
        // -displayfd names a free display number on the given descriptor (here standard output).
        server_.setProgram(QStringLiteral("Xvfb"));
        server_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                              QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp")});
        server_.start();
        if (!server_.waitForStarted(10000)) return false;
        QDeadlineTimer deadline(20000);
        QByteArray out;
        while (!deadline.hasExpired() && !out.contains('\n')) {
            server_.waitForReadyRead(200);
            out += server_.readAllStandardOutput();
        }
        const QByteArray number = out.trimmed();
        if (number.isEmpty()) return false;
        display_ = ":" + number;
        return true;
    }
    ~XServer() {
        if (server_.state() != QProcess::NotRunning) {
            server_.terminate();
            if (!server_.waitForFinished(5000)) server_.kill();
        }
    }
    const QByteArray& display() const { return display_; }

private:
    QProcess server_;
    QByteArray display_;
};

// Windows come and go while the test walks the tree (the splash, the progress of the default voice's
// generation): a request about one that is gone fails with BadWindow, and Xlib's default handler ends
// the process on it, leaving the editor running. Such a window is passed over instead.
int passOverXError(Display*, XErrorEvent*) { return 0; }

// The title of a top-level window (UTF-8 _NET_WM_NAME, else WM_NAME).
QString windowTitle(Display* d, Window w) {
    Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom netName = XInternAtom(d, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    QString title;
    if (XGetWindowProperty(d, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) == Success &&
        data) {
        title = QString::fromUtf8(reinterpret_cast<char*>(data), int(count));
        XFree(data);
    }
    if (title.isEmpty()) {
        char* name = nullptr;
        if (XFetchName(d, w, &name) && name) {
            title = QString::fromLocal8Bit(name);
            XFree(name);
        }
    }
    return title;
}

// The first window below the root whose title holds the text; 0 when none.
Window findWindow(Display* d, Window parent, const QString& text) {
    Window root, up;
    Window* children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, parent, &root, &up, &children, &n)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < n && !found; ++i) {
        if (windowTitle(d, children[i]).contains(text)) found = children[i];
        else found = findWindow(d, children[i], text);
    }
    if (children) XFree(children);
    return found;
}

// Sends the window manager's close request (WM_DELETE_WINDOW) to a window.
void askToClose(Display* d, Window w) {
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XFlush(d);
}

TEST(EditorUnderX, RunCommandStartsOnTheDemoSongAndQuitsWhenAsked) {
    XServer x;
    if (!x.start()) GTEST_SKIP() << "no X server (Xvfb) could be started";
    Display* d = XOpenDisplay(x.display().constData());
    ASSERT_NE(d, nullptr);
    XSetErrorHandler(passOverXError);

    // What ./run.sh executes after building: the editor with the demo song, here from a program folder
    // of the test's own (the editor keeps its settings, readme marker and default bank in the folder it
    // runs from) and with a temporary root of its own.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = tova::test::layOutProgramFolder(dir.filePath(QStringLiteral("prog")), true);
    ASSERT_TRUE(QFile::exists(program + QStringLiteral("/tova")));
    // Not the first start: the readme was shown before (the test desktop has nothing that opens it).
    ASSERT_TRUE(tova::WriteReadMarker(program));
    const QString temp = dir.filePath(QStringLiteral("temp"));
    ASSERT_TRUE(QDir().mkpath(temp));
    const QString demo = dir.filePath(QStringLiteral("demo.tvx"));
    ASSERT_TRUE(QFile::copy(tova::test::sourceFolder() + QStringLiteral("/demo/demo.tvx"), demo));
    const QString buildSettings = tova::test::programFolder() + QStringLiteral("/setting.ini");
    const QByteArray buildSettingsBefore = tova::test::readFile(buildSettings);
    QProcess editor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(x.display()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("TEMP"), temp);
    editor.setProcessEnvironment(env);
    editor.setProcessChannelMode(QProcess::ForwardedChannels);
    editor.start(program + QStringLiteral("/tova"), {demo});
    ASSERT_TRUE(editor.waitForStarted(10000));

    // The main window appears (the first start in the fresh folder generates the default voice first).
    Window main = 0;
    QDeadlineTimer appear(180000);
    while (!main && !appear.hasExpired() && editor.state() == QProcess::Running) {
        QThread::msleep(200);
        main = findWindow(d, DefaultRootWindow(d), QStringLiteral("ＴＯＶＡ"));
    }
    ASSERT_NE(main, Window(0)) << "the editor's window did not appear";

    // It stays up on its own.
    EXPECT_FALSE(editor.waitForFinished(3000));
    ASSERT_EQ(editor.state(), QProcess::Running);

    askToClose(d, main);
    ASSERT_TRUE(editor.waitForFinished(30000)) << "the editor did not quit when asked";
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor.exitCode(), 0);
    XCloseDisplay(d);
    // It kept its settings in its own folder and left the build's program folder alone.
    EXPECT_TRUE(QFile::exists(program + QStringLiteral("/setting.ini")));
    EXPECT_EQ(tova::test::readFile(buildSettings), buildSettingsBefore);
}

#else

TEST(EditorUnderX, RunCommandStartsOnTheDemoSongAndQuitsWhenAsked) { GTEST_SKIP() << "built without X11"; }

#endif

}  // namespace
