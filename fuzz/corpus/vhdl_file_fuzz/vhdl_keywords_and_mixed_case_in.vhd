VARIABLE a, b;
f <= a AND NOT b;
And <= Variable or a;
