-- one added function
g <= not a and b;
