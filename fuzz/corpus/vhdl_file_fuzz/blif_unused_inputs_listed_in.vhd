variable a, b, unused;
f <= not a and b;
g <= b xor a;
