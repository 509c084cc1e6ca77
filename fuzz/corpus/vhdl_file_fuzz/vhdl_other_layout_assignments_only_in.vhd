variable a, b;
f <= a nor b;
g <= not (a xnor b);
