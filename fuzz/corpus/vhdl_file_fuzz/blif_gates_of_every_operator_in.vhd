variable a, b;
f1 <= a nand b;
f2 <= a nor b;
f3 <= a xnor b;
f4 <= not (a or b);
