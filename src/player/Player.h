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
    // Waits `Length` seconds while serving events.
    void PaUse(double Length);
    // The whole part of a * r + b for a random r in [0, 1).
    int Random(const QString& a, const QString& b);
    void randomString(const QString& strString);
    void AutoRandom(bool Enabled);
    void stopTimers();

private:
    MainForm& m_form;
};
