// Everything the desktop actions offer the command table, in one include.
#pragma once

#include "actions/media_players.h"
#include "actions/power.h"
#include "actions/presentations.h"
#include "actions/system_actions.h"
