#pragma once

#include "controls/UserInterface.h"

#include <QStringList>

// Records what the program asked of its windows; answers input boxes and
// the file dialog with what the test prepared.
class FakeUserInterface : public UserInterface {
public:
    void messageBox(const QString& text, const QString& title, Icon) override
    {
        messages.append(title.isEmpty() ? text : title + QStringLiteral(": ") + text);
    }
    QString inputBox(const QString& prompt, const QString&, const QString&) override
    {
        prompts.append(prompt);
        return inputAnswer;
    }
    QString openFileName() override { return fileAnswer; }
    void addTrayIcon() override { events.append(QStringLiteral("tray+")); }
    void removeTrayIcon() override { events.append(QStringLiteral("tray-")); }
    void minimizeMainWindow() override { events.append(QStringLiteral("min")); }
    void hideMainWindow() override { events.append(QStringLiteral("hide")); }
    void showMainWindow() override { events.append(QStringLiteral("show")); }
    void showForm(Form f) override { events.append(QStringLiteral("open%1").arg(int(f))); }
    void closeForm(Form f) override { events.append(QStringLiteral("close%1").arg(int(f))); }
    int closingGeometry() const override { return geometry; }
    void setClosingGeometry(int twips) override
    {
        ++geometryWrites;
        if (!refuseGeometry)
            geometry = twips;
    }
    void endProgram() override { events.append(QStringLiteral("end")); }

    QStringList messages;
    QStringList prompts;
    QStringList events;
    QString inputAnswer;
    QString fileAnswer;
    int geometry = 6000;
    int geometryWrites = 0;
    bool refuseGeometry = false;
};
