f <= a and b;
f <= not a;
g <= f or 0;
