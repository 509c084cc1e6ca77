variable a, a;
f <= a;
