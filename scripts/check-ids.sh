#!/usr/bin/env bash
# Checks that the code names the numbers of data/ids.txt by the constants that
# the build generates from it (gamedata_ids.h, rule_ids.h) instead of keeping
# its own:
#  - no source defines a name with a generated prefix (AB_, EN_, NA_,
#    RITUAL_, MON_, WPN_, ARM_, ITM_, SIT_, NAT_, FRT_, SPL_): such a copy
#    belongs in data/ids.txt;
#  - no bare number is the ability of getability, getitemfx, gettypeability
#    and the other ability readers, the key of getnatattr, the kind of
#    findench and the other enchantment look-ups, or a ritual effect code
#    that a spell's effect is compared with. A number added to a named
#    constant (AB_MAGICBOOST + 2) and -1 ("any") are allowed.
# Prints each finding as FILE:LINE: what, and exits 1 when there is any.
#   check-ids.sh [SOURCE_TOP]   (default: the checkout this script is in)
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
[ -d "$top/src" ] || { echo "check-ids.sh: no src/ in $top"; exit 2; }
cd "$top"
find src -name '*.cpp' -o -name '*.h' | sort | xargs perl -e '
use strict;
use warnings;
my $prefix = qr/(?:AB|EN|NA|RITUAL|MON|WPN|ARM|ITM|SIT|NAT|FRT|SPL)_[A-Z0-9_]+/;
# Reader => index of the argument that is an id (-1: the last).
my %ability = map { $_ => 1 } qw(getability getitemfx stateability gettypeability getunitfx getitemability
                                 getweaponability effectof effect sumability typehasability anyeffect);
my %argof = (%ability, sumlandability => 2, ab => -1, getnatattr => 1,
             findench => 0, addench => 0, enchonland => 0, enchanywhere => 0, globalench => 0);
my %what = (getnatattr => "nation attribute");
$what{$_} = "enchantment kind" for qw(findench addench enchonland enchanywhere globalench);
my $names = join "|", sort keys %argof;
my $bad = 0;
# Comments and the insides of string and character literals become blanks;
# the line breaks stay so that line numbers hold.
sub blank { my $s = shift; $s =~ s/[^\n]/ /g; return $s; }
sub lineof { my ($text, $pos) = @_; return 1 + (substr($text, 0, $pos) =~ tr/\n//); }
for my $file (@ARGV) {
  open(my $in, "<", $file) or die "check-ids.sh: cannot read $file\n";
  local $/;
  my $text = <$in>;
  close $in;
  $text =~ s{(//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\x27(?:\\.|[^\x27\\\n])*\x27)}{blank($1)}gse;
  # A definition: the name with "=" or "{" after it (a constant, an
  # enumerator), or after #define.
  while ($text =~ /(#\s*define\s+)?\b($prefix)\b(\s*(?:=(?!=)|\{))?/g) {
    next unless defined $1 || defined $3;
    print "$file:", lineof($text, $-[2]), ": $2 is defined here; its number belongs in data/ids.txt\n";
    $bad = 1;
  }
  while ($text =~ /\b($names)\s*\(/g) {
    my ($fn, $start) = ($1, pos($text));
    my ($depth, @args, $arg) = (1);
    $arg = "";
    my $i = $start;
    for (; $i < length($text) && $depth > 0; $i++) {
      my $c = substr($text, $i, 1);
      if ($c =~ /[(\[{]/) { $depth++; }
      elsif ($c =~ /[)\]}]/) { $depth--; last if $depth == 0; }
      if ($c eq "," && $depth == 1) { push @args, $arg; $arg = ""; } else { $arg .= $c; }
    }
    push @args, $arg;
    # A definition or declaration of the reader itself names its parameters.
    next if $args[0] =~ /^\s*(?:const\s+)?(?:int|int32_t|uint32_t|int16_t)\s/;
    my @which = ($argof{$fn} < 0 ? $#args : $argof{$fn});
    push @which, 2 if $fn eq "anyeffect";
    for my $k (@which) {
      next if $k > $#args;
      my $a = $args[$k];
      $a =~ s/$prefix\s*[-+]\s*\d+//g;
      # A number that is a whole operand of the argument, or of a choice in it.
      while ($a =~ /(?:^|[?:(])\s*(\d+)(?=\s*(?:$|[:)]))/sg) {
        my $kind = $what{$fn} // "ability";
        print "$file:", lineof($text, $start), ": $fn is given the $kind $1 as a bare number\n";
        $bad = 1;
      }
    }
  }
  my $effectswitch = $text =~ /\bswitch\s*\([^()]*\beffect\s*\)/;
  while ($text =~ /\beffect\s*(?:==|!=)\s*(1\d{4})\b|\bcase\s+(1\d{4})\s*:/g) {
    next unless defined $1 || $effectswitch;
    print "$file:", lineof($text, $-[0]), ": the ritual effect ", $1 // $2, " is a bare number\n";
    $bad = 1;
  }
}
exit $bad;
'
