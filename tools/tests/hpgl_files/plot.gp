set margins 0,0,0,0
unset key
unset tics
unset border
set xrange [0:3]
set yrange [0:2]
plot '-' with lines
0 0
1 2
2 0.5
3 1
e
