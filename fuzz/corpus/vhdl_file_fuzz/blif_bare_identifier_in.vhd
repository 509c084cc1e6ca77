variable a;
f <= a;
