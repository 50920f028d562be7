#pragma once

#include <QSettings>

// The user's choices that outlive the window: ~/.config/velkamo/velkamo.conf.
QSettings preferences();
