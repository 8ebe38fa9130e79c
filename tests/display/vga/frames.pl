#!/usr/bin/perl
# Expected pixel memory of the console modes, from the archive's pictures.
#   frames.pl mask32 maps_00.pgm [S] the loading picture at 32 bits, S times as large
#   frames.pl rgb DEPTH < rgb-bytes   320x240 RGB bytes to the mode's pixels
use strict;
use warnings;
binmode STDIN;
binmode STDOUT;

my $cmd = shift @ARGV;
if ($cmd eq 'mask32') {
  open(my $f, '<:raw', $ARGV[0]) or die "cannot read $ARGV[0]\n";
  local $/;
  my $pgm = <$f>;
  $pgm =~ s/^P5\s+320\s+240\s+255\s//s or die "not a 320x240 grey picture\n";
  my $s = $ARGV[1] // 1;
  for my $row (unpack('(a320)*', $pgm)) {
    my $line = join('', map { (ord($_) > 10 ? "\xFF\xFF\xFF\xFF" : "\0\0\0\0") x $s } split(//, $row));
    print $line x $s;
  }
} elsif ($cmd eq 'rgb') {
  my $depth = shift @ARGV;
  local $/;
  my @b = unpack('C*', <STDIN>);
  my $out = '';
  for (my $i = 0; $i + 2 < @b; $i += 3) {
    my ($r, $g, $bl) = @b[$i .. $i + 2];
    if ($depth == 32) { $out .= pack('C4', $bl, $g, $r, 0); }
    elsif ($depth == 24) { $out .= pack('C3', $bl, $g, $r); }
    elsif ($depth == 16) { $out .= pack('v', (($r >> 3) << 11) | (($g >> 2) << 5) | ($bl >> 3)); }
    else { $out .= pack('v', (($r >> 3) << 10) | (($g >> 3) << 5) | ($bl >> 3)); }
  }
  print $out;
} else {
  die "usage: frames.pl mask32 FILE | rgb DEPTH\n";
}
