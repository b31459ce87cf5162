#include "player/Player.h"

#include "app/MainForm.h"

Player::Player(MainForm& form) : m_form(form) {}

void Player::Play(const QString& song)
{
    Q_UNUSED(song);
}

void Player::stopTimers() {}

void Player::PaUse(double Length)
{
    Q_UNUSED(Length);
}

int Player::Random(const QString& a, const QString& b)
{
    Q_UNUSED(a);
    return b.toInt();
}

void Player::randomString(const QString& strString)
{
    Q_UNUSED(strString);
}

void Player::AutoRandom(bool Enabled)
{
    Q_UNUSED(Enabled);
}
