// The table of the commander orders.
#include "world/orders.h"

namespace {
using N = OrderNeeds;
const char* const plainmovehelp = "(ctrl + click on map) Move to another province, don't sneak";
const char* const sneakhelp =
    "(click on map) Sneak into another province. Sneaking units will not attack the province unless they are caught.";
}  // namespace

const OrderInfo orderinfo[ORDERCOUNT] = {
    {Order::defend, nullptr, "Defend Province", 'D', "(D) Defend. This is the default order.", N::nothing},
    {Order::move, "Move", "Move", 0, plainmovehelp, N::province},
    {Order::sneak, nullptr, "Sneak", 0, sneakhelp, N::province},
    {Order::patrol, "Patrol", "Patrol Province", 'X',
     "(X) Try to find hidden enemy troops and reduce unrest by killing brigands.", N::nothing},
    {Order::research, "Research", "Research", 'R', "(R) Research new spells", N::nothing},
    {Order::empower, "Empowerment", "Empowerment", 0,
     "A quick but magically expensive way of increasing someones power in a path of magic.", N::path},
    {Order::preach, "Preach", "Preach the Teachings of God", 'P',
     "(P) Preach to raise your god's veyrance in the province up to twice the priest's holy level, plus one if a "
     "temple is present.",
     N::nothing},
    {Order::search, "Search", "Search for Magic Sites", 'S', "(S) Search for magic sites in this province.",
     N::nothing},
    {Order::bloodhunt, "Blood hunt", "Blood Hunt", 'B', "(B) Hunt the province's people for blood slaves.",
     N::nothing},
    {Order::ritual, nullptr, "Cast Ritual Spell", 'C',
     "(C) Cast a ritual spell: a month's work that costs gems of the spell's path.", N::spell},
    {Order::prophet, "Prophet", "Become Prophet", 0,
     "A prophet will spread veyrance like his pretender god but at a slower rate.", N::nothing},
    {Order::forge, nullptr, "Forge Magic Item", 'F',
     "(F) Forge a magic item: its gems are paid now and the item is made at the end of the month.", N::item},
    {Order::recruit, "Recruit", nullptr, 0, nullptr, N::nothing},
    {Order::callgod, "Call God", "Call God", 'G', "(G) Recalling the god will require the work of many priest for many months.",
     N::nothing},
    {Order::dispel, "Dispelling", nullptr, 0, nullptr, N::nothing},
    {Order::heal, "Heal", "Heal Troops", 'H', "Heal the wounded and diseased units of the army.", N::nothing},
    {Order::summonallies, "Summon Allies", "Summon Allies", 0, "Call allies that join the army.", N::nothing},
    {Order::buildlab, "Build lab", "Build lab", 0, nullptr, N::nothing},
    {Order::buildtemple, "Build temple", "Build temple", 0, nullptr, N::nothing},
    {Order::buildfort, nullptr, nullptr, 0, nullptr, N::forttype},
    {Order::ghouls, "Reanimate", "Reanimate", 'A', "(A) Turn the dead into undead.", N::nothing},
    {Order::soulless, "Reanimate", nullptr, 0, nullptr, N::nothing},
    {Order::longdead, "Reanimate", nullptr, 0, nullptr, N::nothing},
    {Order::horsemen, "Reanimate", nullptr, 0, nullptr, N::nothing},
    {Order::lictors, "Reanimate", nullptr, 0, nullptr, N::nothing},
    {Order::tombwyrm, "Reanimate", nullptr, 0, nullptr, N::nothing},
    {Order::manikins, "Reanimate", "Awaken Manikins", 'A', "(A) Create manikins from dead beasts and men.",
     N::nothing},
    {Order::chariot, "Reanimate", nullptr, 0, nullptr, N::nothing},
    {Order::pillage, "Pillage", "Pillage", 0, "Pillage the province in order to find as much gold as possible.",
     N::nothing},
    {Order::storm, "Storm castle", "Storm Castle", 'T', "(T) Storm castle in an attempt to conquer it.", N::nothing},
    {Order::breaksiege, "Break siege", "Break Siege", 'E', "(E) Attack the besieging armies.", N::nothing},
    {Order::sacrifice, "Sacrifice", "Perform Blood Sacrifice", 0,
     "Blood sacrifices will help spreading a God's veyrance over the world. Only one blood sacrifice can be "
     "performed per temple every month.",
     N::nothing},
    {Order::uprising, "Instill uprising", "Instill Uprising", 0, "Increase the unrest level of the province.",
     N::nothing},
    {Order::enemypreach, "Preach", "Preach the Teachings of God", 'P',
     "(P) Preach to lower the veyrance of enemy gods, at most your priest's holy level twice over, while in enemy "
     "territory.",
     N::nothing},
    {Order::demolishfort, "Demolish Fort", "Demolish fort", 0, nullptr, N::nothing},
    {Order::demolishlab, "Demolish Lab", "Demolish Lab", 0,
     "Destroy the lab to prevent the besiegers from getting hold of it.", N::nothing},
    {Order::movepatrol, "Move Patrol", "Move and Patrol", 0, "Move to the province and patrol it when there.",
     N::province},
    {Order::attack, "Attack", "Attack Current Province", 0, "Attack the enemies in this province.", N::province},
    {Order::assassinate, "Assassinate", "Assassinate Enemy Commander", 0,
     "Try to find and kill an enemy commander in this province.", N::nothing},
    {Order::deathmatch, "Death match", "Compete in Arena Death Match", 0,
     "Send the commander to fight the champions of the other nations in the arena.", N::nothing},
    {Order::entersite, "Enter site", "Enter Site", 0, "Enter the magic site; what happens depends on the site.",
     N::siteslot},
    {Order::captureslaves, "Capture slaves", "Capture Slaves", 'W', "Capture the province's people as blood slaves.",
     N::nothing},
    {Order::spirits, "Call Spirits", "Call Spirits", 0, "Call the spirits of the dead to serve you.", N::nothing},
    {Order::shadows, "Call Shadows", nullptr, 0, nullptr, N::nothing},
    {Order::apparitions, "Call Apparitions", nullptr, 0, nullptr, N::nothing},
    {Order::seduce, "Seduce", "Seduce Enemy Commander", 0,
     "Seduce an enemy commander in this province into the service of your nation.", N::nothing},
    {Order::corrupt, "Corrupt", "Corrupt Enemy Commander", 0,
     "Corrupt an enemy commander in this province so that he serves your nation.", N::nothing},
    {Order::monthlyritual, nullptr, nullptr, 'M', nullptr, N::spell},
    {Order::lure, "Lure", "Lure Enemy Commander", 0, "Lure an enemy commander from the coast into the sea.",
     N::nothing},
    {Order::cultist, nullptr, nullptr, 0, nullptr, N::nothing},
    {Order::funeral, nullptr, nullptr, 0, nullptr, N::nothing},
    {Order::demolishtemple, "Demolish Temple", nullptr, 0, nullptr, N::nothing},
};

const OrderInfo* orderrow(int32_t code) {
  for (const OrderInfo& r : orderinfo)
    if (int32_t(r.code) == code) return &r;
  return nullptr;
}
