variable a, b;
f <= a;
g <= b and not b;
