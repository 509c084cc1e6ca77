variable a, b, c;
f <= (a and b) or c;
