variable a; variable b; f <= a;
