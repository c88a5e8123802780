// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The bell's parts on a Linux desktop: libcanberra plays the sound theme's
// "bell-window-system" (what GNOME and KDE play for the X bell), and the desktops' own
// switches for alert sounds are read at each ring: GNOME's through GSettings, KDE's from
// its configuration files, read as KDE reads them (more important files first, locks
// honoured) and defensively (a settings file is the learner's data and can be anything).

#include "soundbell.h"

#include <QByteArrayList>

#include <optional>

// The value of key in group, from KDE configuration files given most important first (the
// learner's, then the system's), as KDE reads them: a more important file overrides a
// less important one, except where that one locks the entry (Key[$i]=), its group
// ([Group][$i]) or the whole file ([$i] at its top). Empty when no file sets it.
std::optional<QByteArray> kconfigValue(
    const QByteArrayList &files, const QByteArray &group, const QByteArray &key);

// KDE's word on alert sounds, from the texts of the kaccessrc and kdeglobals files (most
// important first): on unless the audible system bell ([Bell] SystemBell) or
// notification sounds ([Sounds] Enable) are off; the theme of [Sounds] Theme, by
// default Plasma's own "ocean".
AlertSound kdeAlertSound(const QByteArrayList &kaccessrc, const QByteArrayList &kdeglobals);

// The real parts, for SoundBell to make on its worker thread.
SoundBell::Parts desktopBellParts();
