#pragma once

#include <QObject>
#include <QString>

class MainForm;

// Starts songs by name and announces them; the search-result, clock and
// auto random timers.
class Player : public QObject {
    Q_OBJECT
public:
    explicit Player(MainForm& form);

    void Play(const QString& song);
    void stopTimers();

private:
    MainForm& m_form;
};
