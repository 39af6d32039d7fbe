#pragma once
// The program's icon in the notification area, with a two-entry menu (open
// the window, end the program) whose texts follow the configured language.

#include <QPointer>
#include <QSystemTrayIcon>

class QAction;
#include <QMenu>

class SystemTray : public QSystemTrayIcon
{
    Q_OBJECT
public:
    explicit SystemTray(QWidget* parent);
    ~SystemTray() override;

    // The menu texts for a language code; an empty code changes nothing,
    // an unknown one gives the English texts.
    void setLanguage(const QString& language);

    QAction* openAction() const { return m_open; }
    QAction* exitAction() const { return m_exit; }

signals:
    void showWidget();
    void closeApp();

public slots:
    void doshowWidget();
    void docloseApp();

private:
    QPointer<QMenu> m_menu;
    QAction* m_open = nullptr;
    QAction* m_exit = nullptr;
};
