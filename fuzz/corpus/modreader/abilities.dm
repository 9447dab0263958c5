#selectmonster "Archer"
#awe 3
#poisoncloud 5
#regeneration 10
#magicboost water 2
#magicboost 12 -1
#gemprod astral 4
#gemprod 7 11
#eyes 3
#itemslots 15494
#itemslots noitem
#restrictedgod 5
#sailing
#horrormark 7
#iceprot 1 2
#heat 4
#cold 0
#makemonster2 18
#awe 0
#end
