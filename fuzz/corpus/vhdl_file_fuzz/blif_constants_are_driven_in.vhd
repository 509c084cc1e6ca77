variable a;
t <= "1";
z <= "0";
u <= a and "1";
