-- The Long Winter: an example mod. Copy it into your mods folder
-- (~/.vey3/mods, or the folder VEY3_MODS names) and enable it on the
-- Mods screen of Game Tools before creating a game.
#modname "The Long Winter"
#description "Cold bites harder, the northern archers learn to endure it, and the frost giants come down from the mountains."
#version 1.00

-- Cold provinces give less gold and less supply.
#coldincome 8
#coldsupply 15

-- Archers of the cold lands.
#selectmonster "Archer"
#name "Winter Archer"
#hp 11
#mor 11
#coldres 50
#forestsurvival
#end

-- A new weapon and the giant who wields it.
#newweapon
#name "Frost Maul"
#dmg 18
#att -1
#def 0
#len 3
#dt normal
#cold
#twohanded
#end

#newmonster
#name "Frost Giant"
#copystats "Jotun Axeman"
#hp 50
#coldres 100
#mountainsurvival
#clearweapons
#weapon "Frost Maul"
#gcost 180
#rcost 20
#end

-- A ritual that calls them.
#newspell
#name "Call Frost Giants"
#school conjuration
#researchlevel 5
#path water 3
#fatigue 2400
#effect 10001
#damage "Frost Giant"
#nbreff 2
#underwater
#end
