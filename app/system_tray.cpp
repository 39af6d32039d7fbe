#include "app/system_tray.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

namespace {

struct MenuTexts
{
    const char* language;
    const char* open;
    const char* exit;
};

const MenuTexts kMenuTexts[] = {
    {"zh", "打开", "关闭"},
    {"zh-TW", "打開", "關閉"},
    {"zh-HK", "打開", "關閉"},
    {"de-DE", "Geöffnet", "in der Nähe"},
    {"ja", "オープン", "クローズ"},
    {"ru", "открытым", "близко"},
    {"ko", "열린", "가까운"},
};

}  // namespace

SystemTray::SystemTray(QWidget* parent)
    : QSystemTrayIcon(parent)
{
    setIcon(QIcon(QStringLiteral(":/systemtray/tray_icon")));
    m_menu = new QMenu(parent);
    setContextMenu(m_menu);
    setVisible(true);
    m_open = new QAction(QStringLiteral("Open"), this);
    m_exit = new QAction(QStringLiteral("Exit"), this);
    m_menu->addAction(m_open);
    m_menu->addSeparator();
    m_menu->addAction(m_exit);
    setContextMenu(m_menu);
    connect(m_open, SIGNAL(triggered()), this, SLOT(doshowWidget()));
    connect(m_exit, SIGNAL(triggered()), this, SLOT(docloseApp()));
}

SystemTray::~SystemTray()
{
    delete m_menu;
    delete m_open;
    delete m_exit;
}

void SystemTray::setLanguage(const QString& language)
{
    if (language.isEmpty())
        return;
    QString open = QStringLiteral("Open");
    QString exit = QStringLiteral("Exit");
    for (const MenuTexts& row : kMenuTexts) {
        if (language == QLatin1String(row.language)) {
            open = QString::fromUtf8(row.open);
            exit = QString::fromUtf8(row.exit);
        }
    }
    m_open->setText(open);
    m_exit->setText(exit);
}

void SystemTray::doshowWidget()
{
    emit showWidget();
}

void SystemTray::docloseApp()
{
    emit closeApp();
}
