// CrashReporter: started by the client after a crash with the path of the
// minidump it wrote. It keeps the dump and tells the user where it is, with
// a button that opens the folder. Without a display it writes one line to
// standard error and exits 0.

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include <cstdio>

int main(int argc, char** argv)
{
    // The dump path is the rest of the command line.
    QString dump;
    for (int i = 1; i < argc; ++i)
        dump += (i > 1 ? QStringLiteral(" ") : QString()) + QString::fromLocal8Bit(argv[i]);
    const bool exists = QFileInfo::exists(dump);
    const QString message = exists
        ? QStringLiteral("tesk stopped unexpectedly. A crash report was saved as\n%1").arg(dump)
        : QStringLiteral("tesk stopped unexpectedly. No crash report could be saved (%1).").arg(dump);

    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().replace('\n', ' ').constData());
        return 0;
    }
    QApplication app(argc, argv);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("tesk"), message, QMessageBox::Close);
    QPushButton* open = exists ? box.addButton(QStringLiteral("Open folder"), QMessageBox::ActionRole)
                               : nullptr;
    box.exec();
    if (open && box.clickedButton() == open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(dump).absolutePath()));
    return 0;
}
