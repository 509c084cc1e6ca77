-- two good functions, then an error
f <= a;
g <= b;
h <= a or or b;
k <= c;
