// Player actions: the changes a player makes to the world (move an item,
// rename a commander, put units under a commander, ...) and the rules they
// share, each run alike by the turn screens, the computer players and the
// host. Every action is a pair of a check and the action that re-runs it;
// see refusal.h for the contract. The actions sit on the top floor of the
// shared game: they read and write the world's records and include nothing
// of the host or player sides.
//   actions/refusal.h       the answer of every check
//   actions/items.h         items handed on between commanders, the
//                           laboratory store and the ground
//   actions/names.h         renaming a commander
//   actions/squads.h        joining squads under the leadership limits
//   actions/recruit.h       the recruitment queue of a province
//   actions/gems.h          gems between commanders and the treasury
//   actions/letters.h       letters with gifts to other nations
//   actions/mercs.h         bids for mercenary bands
//   actions/sharedrules.h   the rules the actions, the screens, the computer
//                           players and the host's phases share: who fights
//                           whom, armies, research and forging, mercenary
//                           prices, upkeep, honour
//   actions/moverule.h      whether an army may move to a province (the
//                           turn screen's prediction, the host's truth) and
//                           the path finder under it
//   actions/orderstore.h    the one way a commander order is checked,
//                           charged and kept
#pragma once
#include "actions/refusal.h"
