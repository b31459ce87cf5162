// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

// Standard input as the event loop sees it: each piece of bytes as it
// arrives, then its end, without the loop ever waiting on a read.
class StandardInput : public QObject {
    Q_OBJECT
public:
    explicit StandardInput(QObject* parent = nullptr);
    ~StandardInput() override;

    // Nothing more is handed on after this, not even the end.
    void stop();

Q_SIGNALS:
    void received(const QByteArray& bytes);
    // Once, after the last piece, when the input ends or cannot be read.
    void ended();

private:
    struct Reader;
    std::unique_ptr<Reader> m_reader;
};
