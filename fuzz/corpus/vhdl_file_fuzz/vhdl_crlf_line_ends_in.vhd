f <= a
  and b;

g <= ;
