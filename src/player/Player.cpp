#include "player/Player.h"

#include "app/MainForm.h"

Player::Player(MainForm& form) : m_form(form) {}

void Player::Play(const QString& song)
{
    Q_UNUSED(song);
}

void Player::stopTimers() {}
