#!/bin/sh
# The bare external work of one successful update, as the tool does it: the
# same interpreter command lines (each through /bin/sh -c, as the C runtime's
# system() runs them), the flash stand-in with yes.txt as its input, and the
# fast-clock build's total wait of 300 x 2 ms in one piece.
# Run in a folder laid out like the tool's; the program folder comes first
# on PATH, as the tool arranges.
PATH="$(pwd):$PATH"
export PATH
login='-N 192.168.0.10 -P "TOLVE qs Family"'
for offset in 00 10 20 30 40 50 60 70 80 90 A0 B0 C0 D0 E0 F0; do
  sh -c "icmd.exe $login 00 20 28 11 00 $offset 00 10 > fru.txt"
done
rm -f fru.txt
sh -c "icmd.exe $login 00 20 18 01 > version.txt"
rm -f version.txt
Yafuflash.exe -force-boot -preserve-config -nw -ip 192.168.0.10 -u "" -p "TOLVE qs Family" bmc0916.bin \
  < yes.txt > /dev/null 2>&1 &
sleep 0.6
sh -c "icmd.exe $login 00 20 18 01 > version.txt"
wait
