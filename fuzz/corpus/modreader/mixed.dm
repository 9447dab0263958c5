#selectmonster 17
#hp 99999
#name "x"
#newnation
#fileword a_b
#addrecunit 18
#end
#newsite 999
#end
#selectspell "Fire Bolt"
#path fire 2
#end
