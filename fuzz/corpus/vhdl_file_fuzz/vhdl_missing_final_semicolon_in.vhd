f <= a;
g <= b
